#pragma once

#include "form_table.h"
#include "run.h"

#include <string>
#include <string_view>

// Every message the program shows, in one place. A failure says what happened, what the file
// holds where there is one, and ends with what to do.
namespace tallymere::form {

// Shown when a sheet is on the disk.
inline constexpr std::string_view completionMessage = "生成成功！请打开Word打印。";
// The Windows program, when it starts.
inline constexpr std::string_view noProgramFolderMessage =
    "无法得到本程序所在的文件夹。请关闭所有窗口，再启动本程序。";
inline constexpr std::string_view noWindowMessage =
    "无法打开窗口。请关闭一些别的程序，再启动本程序。";

std::string outOfMemoryMessage();
// With the option button that was checked, whose caption the message may name.
std::string settingsMessage(SettingsFault fault, const Control& checkedOption);
std::string fileMessage(const FileFailure& failure);

// The note at the foot of the window: where the sheets of a program in `folder` go, or, where that
// is inside the system's temporary folder, which the system empties, what to do instead.
std::string sheetsNote(std::string_view folder, std::string_view temporaryFolder);

} // namespace tallymere::form

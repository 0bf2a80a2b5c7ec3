#include "messages.h"

#include "form_table.h"

#include <algorithm>

namespace tallymere::form {

namespace {

// A text with "{file}" for the worksheet file's name and "{button}" for the caption of the button
// that makes a sheet, so that a message never names an old one.
std::string filled(std::string_view text)
{
    std::string result(text);
    for (const auto& [mark, name] :
         {std::pair{std::string_view("{file}"), worksheetFileName},
          std::pair{std::string_view("{button}"), controlNamed(generateButton).text}}) {
        for (auto at = result.find(mark); at != result.npos; at = result.find(mark, at)) {
            result.replace(at, mark.size(), name);
        }
    }
    return result;
}

constexpr std::string_view copyTheProgram = "请把本程序复制到“桌面”或“文档”，从那里运行。",
                           moveTheFile = "请把这个文件改名或移走，本程序会新建一个“{file}”",
                           freeSomeSpace = "请删除一些不需要的文件，再按“{button}”。",
                           orSaveAsText = "；或者把它另存为纯文本：保存类型选“纯文本”，"
                                          "编码选“简体中文(GB2312)”，文件名连同英文引号输入"
                                          "\"{file}\"，否则Word会把它存成.txt文件。";

// What happened, and what to do.
std::pair<std::string_view, std::string> wordsFor(FileFault fault)
{
    const std::string moveIt(moveTheFile);
    switch (fault) {
    case FileFault::NoPermission:
        return {"没有写入权限", std::string(copyTheProgram)};
    case FileFault::ReadOnlyFile:
        return {"文件带有“只读”标记", moveIt + "；或者在它的“属性”里去掉“只读”，再按“{button}”。"};
    case FileFault::ReadOnlyDisk:
        return {"所在的磁盘只能读取", std::string(copyTheProgram)};
    case FileFault::FolderMissing:
        return {"所在的文件夹不存在", "请把本程序放进一个文件夹，从那里运行。"};
    case FileFault::FolderInTheWay:
        return {"同名的文件夹占用了这个位置",
                "请把名叫“{file}”的文件夹改名或移走，再按“{button}”。"};
    case FileFault::DiskFull:
        return {"磁盘已满", std::string(freeSomeSpace)};
    case FileFault::QuotaUsed:
        return {"磁盘配额已用完", std::string(freeSomeSpace)};
    case FileFault::TooLarge:
        return {"文件已达到允许的最大长度", moveIt + "。"};
    case FileFault::InUse:
        return {"文件正被其他程序使用", "请在Word或WPS里关闭“{file}”，再按“{button}”。"};
    case FileFault::NotAFile:
        return {"它不是普通文件", moveIt + "。"};
    case FileFault::WordProcessorDocument:
        return {"它已被Word、WPS或LibreOffice另存为文档格式，加在后面的练习打开时看不到",
                moveIt + std::string(orSaveAsText)};
    case FileFault::UnicodeText:
        return {"它已被另存为Unicode文本，加在后面的练习打开时会是乱码",
                moveIt + std::string(orSaveAsText)};
    case FileFault::Other:
        break;
    }
    return {"", "请再按一次“{button}”；如果还是不行，请把本程序复制到“桌面”或“文档”，从那里运行。"};
}

std::string_view holdsText(FileHolds holds)
{
    switch (holds) {
    case FileHolds::NothingOfTheSheet:
        return "这次没有写入任何内容。";
    case FileHolds::WhatItHeld:
        return "文件保持原样。";
    case FileHolds::NoFile:
        return "没有留下文件。";
    case FileHolds::AnEmptyFile:
        return "留下了一个空文件，可以把它删除。";
    case FileHolds::PartOfTheSheet:
        return "未能撤销写入了一半的内容：请打开文件，删掉末尾那张不完整的练习。";
    case FileHolds::TheWholeSheet:
        return "整张练习已写入文件，但未能确认它已保存到磁盘上：请打开文件看看最后一张练习。";
    }
    return "";
}

// Whether `folder` is `outer` or inside it; Windows names that differ in case alone are the same.
bool isInside(std::string_view folder, std::string_view outer)
{
    while (outer.ends_with('/') || outer.ends_with('\\')) {
        outer.remove_suffix(1);
    }
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return !outer.empty() && folder.size() >= outer.size() &&
           std::equal(outer.begin(), outer.end(), folder.begin(),
                      [&](char a, char b) { return lower(a) == lower(b); }) &&
           (folder.size() == outer.size() || folder[outer.size()] == '/' ||
            folder[outer.size()] == '\\');
}

} // namespace

std::string outOfMemoryMessage()
{
    return filled("内存不足，未能生成练习。请关闭一些别的程序，再按“{button}”。");
}

std::string settingsMessage(SettingsFault fault, const Control& checkedOption)
{
    const std::string most = std::to_string(maxProblemCount);
    switch (fault) {
    case SettingsFault::NoRange:
        return "请输入1或更大的口算范围，例如10。";
    case SettingsFault::RangeTooLarge: {
        const std::string largest = std::to_string(largestRange(checkedOption.mode));
        return "口算范围太大：选“" + std::string(checkedOption.text) + "”时最大是" + largest +
               "。请输入" + largest + "或更小的数。";
    }
    case SettingsFault::NoCount:
        return "请输入题数：一次可以生成1到" + most + "道题。";
    case SettingsFault::TooManyProblems:
        break;
    }
    return "题数太多：一次最多生成" + most + "道题。请输入" + most + "或更小的题数。";
}

std::string fileMessage(const FileFailure& failure)
{
    const auto [happened, toDo] = wordsFor(failure.fault);
    const bool refused = failure.fault == FileFault::WordProcessorDocument ||
                         failure.fault == FileFault::UnicodeText;
    const bool writing = failure.step == FileStep::Writing;
    return std::string(refused   ? "无法使用文件“"
                       : writing ? "写入文件“"
                                 : "无法打开文件“") +
           failure.path + std::string(writing ? "”失败：" : "”：") +
           (failure.fault == FileFault::Other ? failure.systemWords : std::string(happened)) +
           "。" + std::string(holdsText(failure.holds)) + filled(toDo);
}

std::string sheetsNote(std::string_view folder, std::string_view temporaryFolder)
{
    // Windows runs a program opened inside a .zip from there, and clears it later.
    if (isInside(folder, temporaryFolder)) {
        return "程序在临时文件夹里，练习会丢失，请先解压到桌面";
    }
    return "练习保存在：" + worksheetPath(folder);
}

} // namespace tallymere::form

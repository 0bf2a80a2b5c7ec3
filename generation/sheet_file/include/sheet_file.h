#pragma once

#include "file_failure.h"

#include <optional>
#include <string>
#include <string_view>

namespace tallymere {

inline constexpr std::string_view worksheetFileName = "口算题.doc";

// The worksheet file of a folder: the folder's text, "/" and the name, with no check for a
// separator already at its end, so that the file is always where users have found it. Behind
// Windows' long-path prefix "\\?\", which takes "/" as part of a name, the separator is "\".
std::string worksheetPath(std::string_view folder);

// Appends `bytes` to the worksheet file of `folder` (UTF-8 on Windows, the file system's bytes
// elsewhere), creating it when missing, and returns once they are on the disk. Holds an exclusive
// lock meanwhile, and gives up when another program holds the file for longer than
// `busyPatience`. Refuses a file that a word processor has saved in its own format or as Unicode
// text, where the sheet would never be seen. After a failed write it takes back what it wrote: a
// file it made goes again, another is cut back to its old length, unless the file has grown
// meanwhile beyond what the run wrote (a program that takes no lock has appended). Returns what
// went wrong and what the file holds then; nothing on success.
[[nodiscard]] std::optional<FileFailure> appendSheet(std::string_view folder,
                                                     std::string_view bytes);

} // namespace tallymere

#pragma once

#include "file_failure.h"

#include <optional>
#include <string>
#include <string_view>

namespace tallymere {

// Appends `bytes` to the file at `path` (UTF-8 on Windows, the file system's bytes elsewhere),
// creating it when missing, and returns once they are on the disk. Holds an exclusive
// lock meanwhile, and gives up when another program holds the file for longer than
// `busyPatience`. Refuses a file that a word processor has saved in its own format or as Unicode
// text, where the sheet would never be seen. After a failed write it takes back what it wrote: a
// file it made goes again, another is cut back to its old length, unless the file has grown
// meanwhile beyond what the run wrote (a program that takes no lock has appended). Returns what
// went wrong and what the file holds then; nothing on success.
[[nodiscard]] std::optional<FileFailure> appendSheet(const std::string& path,
                                                     std::string_view bytes);

} // namespace tallymere

#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace tallymere {

// A file that could not take a sheet; the message names the file and what went wrong with it, in
// words a user can act on (in Chinese).
class FileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Appends `bytes` to the file at `path` (UTF-8 on Windows, the file system's bytes elsewhere),
// creating it when missing, and returns once they are on the disk. After a failed write it takes
// back what it wrote: a file it made goes again, another is cut back to its old length, unless a
// program that takes no lock has appended meanwhile; the message says what the file holds. Holds an
// exclusive lock meanwhile, so that cutting back never cuts another Tallymere's sheet, and gives up
// when another program holds the file for longer than `busyPatience`. Throws FileError.
void appendSheet(const std::string& path, std::string_view bytes);

} // namespace tallymere

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
// creating it when missing, and returns once they are on the disk. Either all of them land or the
// file keeps exactly the bytes it had: after a failed write it is cut back to its old length.
// Holds an exclusive lock meanwhile, so that cutting back never cuts another writer's sheet, and
// gives up when another program holds the file for longer than `lockPatience`. Throws FileError.
void appendSheet(const std::string& path, std::string_view bytes);

} // namespace tallymere

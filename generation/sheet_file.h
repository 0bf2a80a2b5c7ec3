#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// The worksheet file of a folder: the folder's text followed by "/口算题.doc", with no check for a
// separator already at its end, so that the file is always where users have found it.
inline std::string worksheetPath(std::string_view directory)
{
#ifdef _WIN32
    // Windows takes a path after the long-path prefix as it stands, without turning "/" into "\".
    if (directory.starts_with("\\\\?\\")) {
        return std::string(directory) + "\\口算题.doc";
    }
#endif
    return std::string(directory) + "/口算题.doc";
}

// Appends `bytes` to the file at `path`, creating it when missing, and returns once they are on the
// disk. Either all of them land or the file keeps exactly the bytes it had: after a failed write
// it is cut back to its old length. Holds an exclusive lock meanwhile, so that cutting back never
// cuts another writer's sheet, and gives up when another program holds the file for longer than
// `lockPatience`. Throws WorksheetError naming the file and the reason.
void appendSheet(const std::string& path, std::string_view bytes);

} // namespace tallymere

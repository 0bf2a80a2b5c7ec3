#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// The worksheet file of a folder: the folder's text followed by "/口算题.doc", with no check for a
// separator already at its end, so that the file is always where users have found it.
inline std::string worksheetPath(std::string_view directory)
{
    return std::string(directory) + "/口算题.doc";
}

// Appends `bytes` to the file at `path`, creating it when missing. Either all of them land or the
// file keeps exactly the bytes it had: after a failed write it is cut back to its old length.
// Holds an exclusive lock meanwhile, so that cutting back never cuts another writer's sheet.
// Throws WorksheetError naming the file and the reason.
void appendSheet(const std::string& path, std::string_view bytes);

} // namespace tallymere

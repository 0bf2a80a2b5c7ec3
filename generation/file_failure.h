#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// What went wrong with the worksheet file, in words a user can act on; each platform maps its own
// error codes onto these.
enum class FileFault {
    NoPermission,
    ReadOnlyDisk,
    FolderMissing,
    FolderInTheWay,
    DiskFull,
    QuotaUsed,
    TooLarge,
    InUse,
    NotAFile,
};

std::string_view reasonText(FileFault fault);

// Throw WorksheetError naming the file and the reason.
[[noreturn]] void failOpen(const std::string& path, std::string_view reason);
[[noreturn]] void failWrite(const std::string& path, std::string_view reason, bool restored);

} // namespace tallymere

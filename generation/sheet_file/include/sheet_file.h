#pragma once

#include "file_failure.h"

#include <optional>
#include <string>
#include <string_view>

namespace tallymere {

// Appends `bytes` to the file at `path` (UTF-8 on Windows) under an exclusive lock, all of them or,
// taking back what it wrote, none, and returns once they are on the disk; or says what went wrong
// and what the file holds then.
[[nodiscard]] std::optional<FileFailure> appendSheet(const std::string& path,
                                                     std::string_view bytes);

} // namespace tallymere

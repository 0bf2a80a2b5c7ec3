#pragma once

#include <optional>
#include <string>

namespace tallymere::win32 {

// The UTF-8 text of the folder that holds the running program, where the worksheet file lives;
// nothing where Windows does not say.
std::optional<std::string> programFolder();

// The UTF-8 text of the system's temporary folder, in the long form that the program's folder is
// given in; empty where Windows does not say.
std::string temporaryFolder();

} // namespace tallymere::win32

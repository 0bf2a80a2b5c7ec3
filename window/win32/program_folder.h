#pragma once

#include <string>

namespace tallymere::win32 {

// The UTF-8 text of the folder that holds the running program, where the worksheet file lives.
std::string programFolder();

} // namespace tallymere::win32

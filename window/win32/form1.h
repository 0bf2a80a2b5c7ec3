#pragma once

#include <string>
#include <windows.h>

namespace tallymere::win32 {

// Creates and shows the program's one window: the three settings of a worksheet and its two
// commands. Sheets go to the worksheet file of `worksheetFolder`. The window ends the message loop
// when it is closed.
HWND showForm1(HINSTANCE instance, const std::string& worksheetFolder, int showCommand);

} // namespace tallymere::win32

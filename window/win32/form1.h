#pragma once

#include <string>
#include <windows.h>

namespace tallymere {
class RandomSource;
}

namespace tallymere::win32 {

// Creates and shows the program's one window: the three settings of a worksheet and its two
// commands. Sheets go to the worksheet file of `worksheetFolder`, drawn from `random`; the window
// warns where that folder is inside `temporaryFolder`. It ends the message loop when it is closed.
HWND showForm1(HINSTANCE instance, const std::string& worksheetFolder,
               const std::string& temporaryFolder, RandomSource& random, int showCommand);

} // namespace tallymere::win32

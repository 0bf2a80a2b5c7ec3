#pragma once

#include "random_source.h"

#include <string>
#include <windows.h>

namespace tallymere::win32 {

// Creates and shows the program's one window: the three settings of a worksheet and its two
// commands: sheets go to `worksheetFolder`, drawn from `random`; the note warns of
// `temporaryFolder`. It ends the message loop when it is closed.
HWND showForm1(HINSTANCE instance, const std::string& worksheetFolder,
               const std::string& temporaryFolder, RandomSource& random, int showCommand);

} // namespace tallymere::win32

#pragma once

#include <windows.h>

// Sizes at the window's own DPI, through the per-monitor functions of Windows 10 where they exist
// and the system-wide ones on older Windows.
namespace tallymere::win32 {

UINT windowDpi(HWND window);

// Lets Windows scale the title bar with the monitor on systems that do not do it by themselves
// (per-monitor awareness before its second version); called in WM_NCCREATE.
void enableNonClientScaling(HWND window);

// Twips (1440 to the inch) to pixels at `dpi`.
inline int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The outer size of a window whose client area is `client` pixels.
SIZE frameSize(SIZE client, DWORD style, UINT dpi);

// The program's icon (resource 1) at the size of a system metric, such as SM_CXSMICON, scaled down
// from the nearest larger image so that it stays sharp.
HICON iconAt(HINSTANCE instance, int widthMetric, int heightMetric);

// The system's message-box font at `dpi`; the caller deletes it.
HFONT messageFont(UINT dpi);

} // namespace tallymere::win32

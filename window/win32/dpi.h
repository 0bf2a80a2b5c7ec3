#pragma once

#include <windows.h>

// Sizes at the window's own DPI, through the per-monitor functions of Windows 10 where they exist
// and the system-wide ones on older Windows.
namespace tallymere::win32 {

UINT windowDpi(HWND window);

// Twips (1440 to the inch) to pixels at `dpi`.
inline int pixels(int twips, UINT dpi)
{
    return MulDiv(twips, static_cast<int>(dpi), 1440);
}

// The outer size of a window whose client area is `client` pixels.
SIZE frameSize(SIZE client, DWORD style, UINT dpi);

// The system's message-box font at `dpi`; the caller deletes it.
HFONT messageFont(UINT dpi);

} // namespace tallymere::win32

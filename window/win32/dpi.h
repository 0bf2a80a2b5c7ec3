#pragma once

#include <memory>
#include <type_traits>
#include <windows.h>

// Sizes at the window's own DPI, through the per-monitor functions of Windows 10 where they exist
// and the system-wide ones on older Windows.
namespace tallymere::win32 {

UINT windowDpi(HWND window);

// WM_GETDPISCALEDSIZE, which Windows 10 sends before a DPI change to ask for the window's new size;
// older systems never send it, so their headers lack it.
inline constexpr UINT getDpiScaledSize = 0x02E4;

// Lets Windows scale the title bar with the monitor on systems that do not do it by themselves
// (per-monitor awareness before its second version); called in WM_NCCREATE.
void enableNonClientScaling(HWND window);

// The outer size of a window whose client area is `client` pixels.
SIZE frameSize(SIZE client, DWORD style, UINT dpi);

// The program's icon (resource 1) at the size of a system metric, such as SM_CXSMICON, scaled down
// from the nearest larger image so that it stays sharp.
HICON iconAt(HINSTANCE instance, int widthMetric, int heightMetric);

// Deletes a font when it goes.
struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

// The system's message-box font at `dpi`.
Font messageFont(UINT dpi);

} // namespace tallymere::win32

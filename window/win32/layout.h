#pragma once

#include <memory>
#include <type_traits>
#include <windows.h>

// The form at the DPI of the monitor it is on, through the per-monitor functions of Windows 10
// where they exist and the system-wide ones on older Windows.
namespace tallymere::win32 {

// WM_GETDPISCALEDSIZE, which Windows 10 sends before a DPI change to ask for the window's new size;
// older systems never send it, so their headers lack it.
inline constexpr UINT getDpiScaledSize = 0x02E4;

// Lets Windows scale the title bar with the monitor where it does not by itself; in WM_NCCREATE.
void enableNonClientScaling(HWND window);

// Deletes a font when it goes.
struct FontDeleter {
    void operator()(HFONT font) const { DeleteObject(font); }
};
using Font = std::unique_ptr<std::remove_pointer_t<HFONT>, FontDeleter>;

inline constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

// The frame whose client area holds the form at `dpi`.
SIZE frameAt(UINT dpi);

// The form at the DPI of the monitor it is on: every control where the table puts it in twips,
// in the system's message font at that DPI.
class FormLayout {
public:
    // Lays out the controls, once created, and gives the window the size of the form.
    void start(HWND window);
    // The form keeps its size in twips on the new monitor: Windows' suggested rectangle gives only
    // where it goes.
    void dpiChanged(HWND window, UINT dpi, const RECT& suggested);

private:
    void placeControls(HWND window);

    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    Font font_;
};

} // namespace tallymere::win32

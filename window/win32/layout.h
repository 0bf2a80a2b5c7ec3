#pragma once

#include "dpi.h"

#include <windows.h>

namespace tallymere::win32 {

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

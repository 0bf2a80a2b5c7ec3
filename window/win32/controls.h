#pragma once

#include "form_table.h"

#include <windows.h>

// Each control of the form as Win32 makes it: its window class, style and id.
namespace tallymere::win32 {

// None is IDOK or IDCANCEL, so that Enter and Esc press no button.
constexpr int controlId(const form::Control& control)
{
    return 1000 + control.tabIndex;
}

inline HWND controlOf(HWND window, const form::Control& control)
{
    return GetDlgItem(window, controlId(control));
}

// Makes the control in `window`, with its text and list but no size; nullptr where Windows cannot.
HWND createControl(HWND window, const form::Control& control);

} // namespace tallymere::win32

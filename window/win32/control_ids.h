#pragma once

#include "form_table.h"

#include <windows.h>
// The common controls' header needs the Windows types first.
#include <commctrl.h>

// How each control of the form shows itself to Win32: its window class and its id.
namespace tallymere::form {

inline const wchar_t* windowClassOf(ControlKind kind)
{
    switch (kind) {
    case ComboBox:
        return WC_COMBOBOXW;
    case Label:
        return WC_STATICW;
    case GroupBox:
    case OptionButton:
    case PushButton:
        return WC_BUTTONW;
    }
    return WC_BUTTONW;
}

// None is IDOK or IDCANCEL, so Enter and Esc press no button (neither is a default or cancel
// button).
constexpr int controlId(const Control& control)
{
    return 1000 + control.tabIndex;
}

inline HWND controlOf(HWND window, const Control& control)
{
    return GetDlgItem(window, controlId(control));
}

} // namespace tallymere::form

#pragma once

#include "form_table.h"

#include <windows.h>
// The common controls' header needs the Windows types first.
#include <commctrl.h>

// How each control of the form shows itself to Win32, for the window and for programs that drive
// it: its window class and its id.
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

consteval const Control& controlNamed(std::string_view name, int index = 0)
{
    for (const Control& control : controls) {
        if (control.name == name && control.index == index) {
            return control;
        }
    }
    throw "no such control"; // a compile error, since this runs only while compiling
}

} // namespace tallymere::form

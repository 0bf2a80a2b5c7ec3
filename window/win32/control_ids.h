#pragma once

#include "form_table.h"

// The Win32 id of each control of the form, for the window and for programs that drive it. None is
// IDOK or IDCANCEL, so Enter and Esc press no button (neither is a default or cancel button).
namespace tallymere::form {

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

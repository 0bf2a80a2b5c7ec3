#include "controls.h"

#include "utf16.h"

#include <commctrl.h>

namespace tallymere::win32 {

namespace {

const wchar_t* windowClassOf(form::ControlKind kind)
{
    switch (kind) {
    case form::ComboBox:
        return WC_COMBOBOXW;
    case form::Label:
        return WC_STATICW;
    default:
        return WC_BUTTONW;
    }
}

// Every control that takes focus starts a group of its own, but for the second option button, so
// that the arrow keys move between the two option buttons and nowhere else.
DWORD styleOf(const form::Control& control)
{
    const DWORD common = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
    switch (control.kind) {
    case form::GroupBox:
        return common | BS_GROUPBOX;
    case form::ComboBox:
        return common | WS_TABSTOP | WS_GROUP | WS_VSCROLL | CBS_DROPDOWN | CBS_AUTOHSCROLL;
    case form::OptionButton:
        return common | BS_AUTORADIOBUTTON | (control.index == 0 ? WS_TABSTOP | WS_GROUP : 0);
    case form::Label: // "…" in the middle of a path that does not fit, the whole of it in its text
        return common | SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS;
    case form::PushButton:
        return common | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    }
    return common;
}

// Fills a combo box's list and puts its current entry at the start text, so that Up and Down step
// to the neighbours of the value shown.
void fillComboBox(HWND comboBox, const form::Control& control, const std::wstring& text)
{
    for (const std::string_view choice : control.choices) {
        SendMessageW(comboBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wideText(choice).c_str()));
    }
    const auto entry = SendMessageW(comboBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text.c_str()));
    if (entry != CB_ERR) {
        SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(entry), 0);
    } else {
        SetWindowTextW(comboBox, text.c_str());
    }
}

} // namespace

HWND createControl(HWND window, const form::Control& control)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    const std::wstring text = wideText(control.text);
    const HWND created =
        CreateWindowExW(0, windowClassOf(control.kind), text.c_str(), styleOf(control), 0, 0, 0, 0,
                        window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId(control))),
                        instance, nullptr);
    if (created != nullptr && control.kind == form::ComboBox) {
        fillComboBox(created, control, text);
    }
    return created;
}

} // namespace tallymere::win32

#include "layout.h"

#include "control_ids.h"
#include "form_table.h"

namespace tallymere::win32 {

namespace {

int pixelsAt(int twips, UINT dpi)
{
    return form::pixels(twips, static_cast<int>(dpi));
}

int shownHeight(HWND control)
{
    RECT shown{};
    GetWindowRect(control, &shown);
    return shown.bottom - shown.top;
}

// A drop-down combo box shows its field plus a border that the theme decides, and its field must
// hold a list item. A field of one item's height shows the least the box can be; the field then
// gets what the height leaves beyond that. The field's height is never read back, since Wine gives
// 2 pixels more than it was set to.
void fitComboBoxField(HWND comboBox, int height)
{
    const auto item = SendMessageW(comboBox, CB_GETITEMHEIGHT, 0, 0);
    SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item);
    const int least = shownHeight(comboBox);
    if (height > least) {
        SendMessageW(comboBox, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), item + height - least);
    }
}

} // namespace

SIZE frameAt(UINT dpi)
{
    return frameSize({pixelsAt(form::clientWidth, dpi), pixelsAt(form::clientHeight, dpi)},
                     windowStyle, dpi);
}

void FormLayout::start(HWND window)
{
    // Only once the window exists is its monitor, and so its DPI, known.
    dpi_ = windowDpi(window);
    placeControls(window);
    const SIZE frame = frameAt(dpi_);
    SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormLayout::dpiChanged(HWND window, UINT dpi, const RECT& suggested)
{
    dpi_ = dpi;
    placeControls(window);
    const SIZE frame = frameAt(dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void FormLayout::placeControls(HWND window)
{
    // The controls let go of the old font before it is deleted.
    Font font = messageFont(dpi_);
    for (const form::Control& control : form::controls) {
        const HWND hwnd = form::controlOf(window, control);
        const form::Twips rect = form::windowTwips(control);
        const int height = pixelsAt(rect.height, dpi_);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
        // A drop-down combo box's height includes its list; its field is sized apart.
        const int listHeight = height * static_cast<int>(control.choices.size());
        SetWindowPos(hwnd, nullptr, pixelsAt(rect.left, dpi_), pixelsAt(rect.top, dpi_),
                     pixelsAt(rect.width, dpi_), height + listHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.kind == form::ComboBox) {
            fitComboBoxField(hwnd, height);
        }
    }
    InvalidateRect(window, nullptr, TRUE);
    font_ = std::move(font);
}

} // namespace tallymere::win32

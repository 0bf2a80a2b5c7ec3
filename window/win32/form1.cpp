#include "form1.h"

#include "control_ids.h"
#include "dpi.h"
#include "form_table.h"
#include "generation/run.h"
#include "generation/utf16.h"
#include "screen_reader_names.h"

#include <commctrl.h>
#include <exception>
#include <memory>

namespace tallymere::win32 {

namespace {

constexpr wchar_t windowClass[] = L"Form1";
constexpr DWORD windowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr int rangeBoxId = form::controlId(form::controlNamed(form::rangeBox));
constexpr int countBoxId = form::controlId(form::controlNamed(form::countBox));
constexpr int singleStepId =
    form::controlId(form::controlNamed(form::modeButtons, form::singleStepIndex));
constexpr int chainedStepsId =
    form::controlId(form::controlNamed(form::modeButtons, 1 - form::singleStepIndex));
constexpr int generateId = form::controlId(form::controlNamed(form::generateButton));
constexpr int quitId = form::controlId(form::controlNamed(form::quitButton));

// What the window keeps between messages, in its user data.
struct FormState {
    explicit FormState(std::string folder) : worksheetFolder(std::move(folder)) {}

    std::string worksheetFolder;
    UINT dpi = USER_DEFAULT_SCREEN_DPI;
    HFONT font = nullptr;
    HWND lastFocus = nullptr; // given back when the window is activated again
    ScreenReaderNames screenReaderNames;
};

FormState* stateOf(HWND window)
{
    return reinterpret_cast<FormState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
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
    case form::Label:
        return common | SS_LEFT | SS_NOPREFIX;
    case form::PushButton:
        return common | WS_TABSTOP | WS_GROUP | BS_PUSHBUTTON;
    }
    return common;
}

HWND controlOf(HWND window, const form::Control& control)
{
    return GetDlgItem(window, form::controlId(control));
}

// The edit field of a combo box is what has the focus and what a screen reader announces.
HWND editOf(HWND comboBox)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(comboBox, &info) ? info.hwndItem : nullptr;
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

// False when a control could not be made; the window is then not shown at all.
bool createControls(HWND window, FormState& state)
{
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(window, GWLP_HINSTANCE));
    for (const form::Control& control : form::controls) {
        const std::wstring text = wideText(control.text);
        const HWND created = CreateWindowExW(
            0, form::windowClassOf(control.kind), text.c_str(), styleOf(control), 0, 0, 0, 0,
            window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(form::controlId(control))),
            instance, nullptr);
        if (created == nullptr) {
            return false;
        }
        if (control.kind == form::ComboBox) {
            fillComboBox(created, control, text);
        }
        if (control.kind == form::ComboBox || control.kind == form::OptionButton) {
            const std::wstring name = wideText(form::accessibleName(control));
            state.screenReaderNames.name(created, name);
            if (const HWND edit = editOf(created)) {
                state.screenReaderNames.name(edit, name);
            }
        }
    }
    // Group boxes go below the controls they frame, so that they never paint over them.
    for (const form::Control& control : form::controls) {
        if (control.kind == form::GroupBox) {
            SetWindowPos(controlOf(window, control), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    CheckDlgButton(window, singleStepId, BST_CHECKED);
    return true;
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

// Places and sizes every control for the window's DPI, in the system's message font.
void layOut(HWND window, FormState& state)
{
    const HFONT oldFont = state.font;
    state.font = messageFont(state.dpi);
    for (const form::Control& control : form::controls) {
        const HWND hwnd = controlOf(window, control);
        const form::Twips rect = form::windowTwips(control);
        const int height = pixels(rect.height, state.dpi);
        SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(state.font), FALSE);
        // A drop-down combo box's height includes its list; its field is sized apart.
        const int listHeight = height * static_cast<int>(control.choices.size());
        SetWindowPos(hwnd, nullptr, pixels(rect.left, state.dpi), pixels(rect.top, state.dpi),
                     pixels(rect.width, state.dpi), height + listHeight,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        if (control.kind == form::ComboBox) {
            fitComboBoxField(hwnd, height);
        }
    }
    InvalidateRect(window, nullptr, TRUE);
    if (oldFont != nullptr) {
        DeleteObject(oldFont);
    }
}

std::string textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return utf8Text(text);
}

WorksheetSettings currentSettings(HWND window)
{
    const bool singleStep = IsDlgButtonChecked(window, singleStepId) == BST_CHECKED;
    return {textOf(GetDlgItem(window, rangeBoxId)), textOf(GetDlgItem(window, countBoxId)),
            singleStep ? DifficultyMode::SingleStep : DifficultyMode::ChainedSteps};
}

void showMessage(HWND window, std::string_view text, UINT icon)
{
    const std::wstring caption = wideText(form::windowCaption);
    MessageBoxW(window, wideText(text).c_str(), caption.c_str(), MB_OK | icon);
}

// Tells the user that the sheet is ready, and waits until the box is dismissed.
class CompletionBox final : public CompletionNotice {
public:
    explicit CompletionBox(HWND window) : window_(window) {}
    void show(std::string_view message) override { showMessage(window_, message, 0); }

private:
    HWND window_;
};

void generateClicked(HWND window, const FormState& state)
{
    CompletionBox completion(window);
    try {
        generateWorksheet(currentSettings(window), state.worksheetFolder, completion);
    } catch (const std::exception& failure) {
        // The sheet was not written and the file is as it was: say why, and let the user retry.
        showMessage(window, failure.what(), MB_ICONWARNING);
    }
}

// Tab reaches the checked option button, as in a dialog box; not every system's button control
// moves the tab stop itself.
void optionClicked(HWND window)
{
    for (const int id : {singleStepId, chainedStepsId}) {
        const HWND button = GetDlgItem(window, id);
        const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
        const bool checked = IsDlgButtonChecked(window, id) == BST_CHECKED;
        SetWindowLongPtrW(button, GWL_STYLE, checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
    }
}

void buttonClicked(HWND window, int id)
{
    if (id == generateId) {
        generateClicked(window, *stateOf(window));
    } else if (id == quitId) {
        DestroyWindow(window);
    } else if (id == singleStepId || id == chainedStepsId) {
        optionClicked(window);
    }
}

// IsDialogMessageW asks for the default button when Enter is pressed. It is the push button that
// has the focus, so that Enter presses it as on every desktop, and none otherwise.
LRESULT focusedCommand(HWND window)
{
    const HWND focus = GetFocus();
    const int id = focus != nullptr && GetParent(focus) == window ? GetDlgCtrlID(focus) : 0;
    return id == generateId || id == quitId ? MAKELRESULT(id, DC_HASDEFID) : 0;
}

// The frame whose client area holds the form at `dpi`.
SIZE frameAt(UINT dpi)
{
    return frameSize({pixels(form::clientWidth, dpi), pixels(form::clientHeight, dpi)}, windowStyle,
                     dpi);
}

// The form keeps its size in twips on the new monitor: Windows' suggested rectangle gives only
// where it goes.
void dpiChanged(HWND window, UINT dpi, const RECT& suggested)
{
    FormState& state = *stateOf(window);
    state.dpi = dpi;
    layOut(window, state);
    const SIZE frame = frameAt(dpi);
    SetWindowPos(window, nullptr, suggested.left, suggested.top, frame.cx, frame.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void destroyed(HWND window)
{
    FormState& state = *stateOf(window);
    for (const form::Control& control : form::controls) {
        const HWND hwnd = controlOf(window, control);
        state.screenReaderNames.clear(hwnd);
        if (const HWND edit = editOf(hwnd)) {
            state.screenReaderNames.clear(edit);
        }
    }
    PostQuitMessage(0);
}

// Focus goes back where it was when the user returns to the window, as in a dialog box; a
// minimised window has nowhere to show it.
void activated(HWND window, bool active, bool minimised)
{
    FormState& state = *stateOf(window);
    if (!active) {
        state.lastFocus = GetFocus();
    } else if (!minimised) {
        SetFocus(state.lastFocus != nullptr && IsChild(window, state.lastFocus)
                     ? state.lastFocus
                     : GetDlgItem(window, rangeBoxId));
    }
}

LRESULT CALLBACK form1Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_NCCREATE: {
        // The window owns its state from here until WM_NCDESTROY, even if creation fails.
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        const auto* folder = static_cast<const std::string*>(creation->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(new FormState(*folder)));
        enableNonClientScaling(window);
        break;
    }
    case WM_CREATE:
        return createControls(window, *stateOf(window)) ? 0 : -1;
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
            buttonClicked(window, LOWORD(wParam));
        }
        return 0;
    case DM_GETDEFID:
        return focusedCommand(window);
    case WM_ACTIVATE:
        activated(window, LOWORD(wParam) != WA_INACTIVE, HIWORD(wParam) != 0);
        return 0;
    case WM_GETDPISCALEDSIZE:
        *reinterpret_cast<SIZE*>(lParam) = frameAt(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        dpiChanged(window, HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        destroyed(window);
        return 0;
    case WM_NCDESTROY: {
        std::unique_ptr<FormState> state(stateOf(window));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        if (state != nullptr && state->font != nullptr) {
            DeleteObject(state->font);
        }
        break;
    }
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerClass(HINSTANCE instance)
{
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = form1Procedure;
    windowClassInfo.hInstance = instance;
    windowClassInfo.hIcon = iconAt(instance, SM_CXICON, SM_CYICON);
    windowClassInfo.hIconSm = iconAt(instance, SM_CXSMICON, SM_CYSMICON);
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = windowClass;
    return RegisterClassExW(&windowClassInfo) != 0;
}

// The frame that gives the client area its size at the window's DPI.
void sizeWindow(HWND window, UINT dpi)
{
    const SIZE frame = frameAt(dpi);
    SetWindowPos(window, nullptr, 0, 0, frame.cx, frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace

HWND showForm1(HINSTANCE instance, const std::string& worksheetFolder, int showCommand)
{
    if (!registerClass(instance)) {
        return nullptr;
    }
    const std::wstring caption = wideText(form::windowCaption);
    const HWND window = CreateWindowExW(
        0, windowClass, caption.c_str(), windowStyle, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
        CW_USEDEFAULT, nullptr, nullptr, instance, const_cast<std::string*>(&worksheetFolder));
    if (window == nullptr) {
        return nullptr;
    }
    // Only now is the monitor, and so the DPI, known.
    FormState& state = *stateOf(window);
    state.dpi = windowDpi(window);
    layOut(window, state);
    sizeWindow(window, state.dpi);
    ShowWindow(window, showCommand);
    SetFocus(GetDlgItem(window, rangeBoxId));
    return window;
}

} // namespace tallymere::win32

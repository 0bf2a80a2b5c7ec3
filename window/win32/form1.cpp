#include "form1.h"

#include "controls.h"
#include "generate_command.h"
#include "layout.h"
#include "messages.h"
#include "screen_reader_names.h"
#include "utf16.h"

#include <commctrl.h>
#include <optional>

namespace tallymere::win32 {

namespace {

constexpr int rangeBoxId = controlId(form::controlNamed(form::rangeBox));
constexpr int countBoxId = controlId(form::controlNamed(form::countBox));
constexpr int generateId = controlId(form::controlNamed(form::generateButton));
constexpr int quitId = controlId(form::controlNamed(form::quitButton));
constexpr int noteId = controlId(form::controlNamed(form::noteLabel));

// What the window is given when it is made.
struct FormStart {
    const std::string& worksheetFolder;
    RandomSource& random;
};

// What the window keeps between messages, in its user data.
struct FormState {
    std::string worksheetFolder;
    RandomSource& random;
    FormLayout layout;
    HWND lastFocus = nullptr; // given back when the window is activated again
    std::optional<ScreenReaderNames> screenReaderNames;
};

FormState* stateOf(HWND window)
{
    return reinterpret_cast<FormState*>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// False when a control could not be made; the window is then not shown at all.
bool createControls(HWND window)
{
    for (const form::Control& control : form::controls) {
        if (createControl(window, control) == nullptr) {
            return false;
        }
    }
    // Group boxes go below the controls they frame, so that they never paint over them.
    for (const form::Control& control : form::controls) {
        if (control.kind == form::GroupBox) {
            SetWindowPos(controlOf(window, control), HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
    CheckDlgButton(window, controlId(form::startOption), BST_CHECKED);
    stateOf(window)->screenReaderNames.emplace(window);
    return true;
}

std::string textOf(HWND control)
{
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return utf8Text(text);
}

// The option button that is checked; the one checked at start while none is.
const form::Control& checkedOption(HWND window)
{
    for (const form::Control& control : form::controls) {
        if (control.kind == form::OptionButton &&
            IsDlgButtonChecked(window, controlId(control)) == BST_CHECKED) {
            return control;
        }
    }
    return form::startOption;
}

void generateClicked(HWND window, FormState& state)
{
    // The run may wait seconds for another program to let go of the file.
    const HCURSOR normal = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
    const form::Outcome outcome = form::generateCommand(
        textOf(GetDlgItem(window, rangeBoxId)), textOf(GetDlgItem(window, countBoxId)),
        checkedOption(window), state.worksheetFolder, state.random);
    SetCursor(normal);
    const std::wstring caption = wideText(form::windowCaption);
    MessageBoxW(window, wideText(outcome.text).c_str(), caption.c_str(),
                MB_OK | (outcome.warning ? MB_ICONWARNING : 0));
}

// Tab reaches the checked option button, as in a dialog box; not every system's button control
// moves the tab stop itself.
void optionClicked(HWND window)
{
    for (const form::Control& control : form::controls) {
        if (control.kind == form::OptionButton) {
            const HWND button = controlOf(window, control);
            const LONG_PTR style = GetWindowLongPtrW(button, GWL_STYLE);
            const bool checked = IsDlgButtonChecked(window, controlId(control)) == BST_CHECKED;
            SetWindowLongPtrW(button, GWL_STYLE,
                              checked ? style | WS_TABSTOP : style & ~WS_TABSTOP);
        }
    }
}

void buttonClicked(HWND window, int id)
{
    if (id == generateId) {
        generateClicked(window, *stateOf(window));
    } else if (id == quitId) {
        DestroyWindow(window);
    } else { // the option buttons are the only other buttons that click
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

void destroyed(HWND window)
{
    if (auto& names = stateOf(window)->screenReaderNames) {
        names->clear(window);
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
        const auto* start = static_cast<const FormStart*>(creation->lpCreateParams);
        const auto* state = new FormState{start->worksheetFolder, start->random, {}, nullptr, {}};
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
        enableNonClientScaling(window);
        break;
    }
    case WM_CREATE:
        return createControls(window) ? 0 : -1;
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
    case getDpiScaledSize:
        *reinterpret_cast<SIZE*>(lParam) = frameAt(static_cast<UINT>(wParam));
        return TRUE;
    case WM_DPICHANGED:
        stateOf(window)->layout.dpiChanged(window, HIWORD(wParam),
                                           *reinterpret_cast<const RECT*>(lParam));
        return 0;
    case WM_DESTROY:
        destroyed(window);
        return 0;
    case WM_NCDESTROY:
        delete stateOf(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

bool registerClass(HINSTANCE instance, const std::wstring& className)
{
    WNDCLASSEXW windowClassInfo{};
    windowClassInfo.cbSize = sizeof windowClassInfo;
    windowClassInfo.lpfnWndProc = form1Procedure;
    windowClassInfo.hInstance = instance;
    // The program's icon (resource 1), scaled down from the nearest larger image to stay sharp.
    LoadIconMetric(instance, MAKEINTRESOURCEW(1), LIM_LARGE, &windowClassInfo.hIcon);
    LoadIconMetric(instance, MAKEINTRESOURCEW(1), LIM_SMALL, &windowClassInfo.hIconSm);
    windowClassInfo.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClassInfo.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClassInfo.lpszClassName = className.c_str();
    return RegisterClassExW(&windowClassInfo) != 0;
}

} // namespace

HWND showForm1(HINSTANCE instance, const std::string& worksheetFolder,
               const std::string& temporaryFolder, RandomSource& random, int showCommand)
{
    const std::wstring className = wideText(form::windowName);
    if (!registerClass(instance, className)) {
        return nullptr;
    }
    const std::wstring caption = wideText(form::windowCaption);
    FormStart start{worksheetFolder, random};
    const HWND window = CreateWindowExW(0, className.c_str(), caption.c_str(), windowStyle,
                                        CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                        nullptr, nullptr, instance, &start);
    if (window == nullptr) {
        return nullptr;
    }
    SetDlgItemTextW(window, noteId,
                    wideText(form::sheetsNote(worksheetFolder, temporaryFolder)).c_str());
    stateOf(window)->layout.start(window);
    ShowWindow(window, showCommand);
    SetFocus(GetDlgItem(window, rangeBoxId));
    return window;
}

} // namespace tallymere::win32

// What Tallymere.exe's start-up is measured against: the same window and 13 controls, made by the
// same code from the form table, in the system's message font and with the same manifest, but no
// DPI code, no screen-reader names and no note.
#include "controls.h"
#include "utf16.h"

#include <commctrl.h>

namespace {

LRESULT CALLBACK plainProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    using namespace tallymere;
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = plainProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = L"PlainForm";
    RegisterClassExW(&windowClass);
    const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    RECT frame{0, 0, form::pixels(form::clientWidth), form::pixels(form::clientHeight)};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    const HWND window = CreateWindowExW(0, L"PlainForm", win32::wideText(form::windowCaption).c_str(),
                                        style, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
                                        frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
    const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
    for (const form::Control& control : form::controls) {
        const HWND created = win32::createControl(window, control);
        const form::Twips rect = form::windowTwips(control);
        const int height = form::pixels(rect.height);
        SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        SetWindowPos(created, HWND_BOTTOM, form::pixels(rect.left), form::pixels(rect.top),
                     form::pixels(rect.width),
                     height * (1 + static_cast<int>(control.choices.size())),
                     control.kind == form::GroupBox ? SWP_NOACTIVATE
                                                    : SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CheckDlgButton(window, win32::controlId(form::startOption), BST_CHECKED);
    ShowWindow(window, showCommand);
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageW(window, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    return 0;
}

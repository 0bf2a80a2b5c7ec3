#include "form1.h"
#include "generation/utf16.h"
#include "program_folder.h"

#include <commctrl.h>
#include <exception>
#include <objbase.h>
#include <string>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    // For the screen-reader names; the program runs fine without them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    std::string folder;
    try {
        folder = tallymere::win32::programFolder();
    } catch (const std::exception& failure) {
        MessageBoxW(nullptr, tallymere::wideText(failure.what()).c_str(), L"Tallymere",
                    MB_OK | MB_ICONERROR);
        return 1;
    }
    const HWND form = tallymere::win32::showForm1(instance, folder, showCommand);
    if (form == nullptr) {
        MessageBoxW(nullptr, L"无法打开窗口。", L"Tallymere", MB_OK | MB_ICONERROR);
        return 1;
    }
    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        // Tab, Shift+Tab and the arrow keys move between the controls as in a dialog box.
        if (!IsDialogMessageW(form, &message)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
    if (SUCCEEDED(com)) {
        CoUninitialize();
    }
    return static_cast<int>(message.wParam);
}

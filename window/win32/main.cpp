#include "form1.h"
#include "form_table.h"
#include "messages.h"
#include "program_folder.h"
#include "random_source.h"
#include "utf16_win32.h"

#include <commctrl.h>
#include <objbase.h>
#include <optional>
#include <string>
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    // For the screen-reader names; the program runs fine without them.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const std::wstring caption = tallymere::wideText(tallymere::form::windowCaption);
    const auto failed = [&caption](std::string_view message) {
        MessageBoxW(nullptr, tallymere::wideText(message).c_str(), caption.c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    };
    const std::optional<std::string> folder = tallymere::win32::programFolder();
    if (!folder) {
        return failed(tallymere::form::noProgramFolderMessage);
    }
    tallymere::EngineRandom random; // the program's one random source
    const HWND form = tallymere::win32::showForm1(
        instance, *folder, tallymere::win32::temporaryFolder(), random, showCommand);
    if (form == nullptr) {
        // A window that failed in the making has already asked to quit, which would close the box
        // before anyone could read it.
        MSG quit{};
        PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        return failed(tallymere::form::noWindowMessage);
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

#include "form1.h"
#include "form_table.h"
#include "messages.h"
#include "random_source.h"
#include "utf16.h"

#include <commctrl.h>
#include <optional>
#include <string>
#include <windows.h>

namespace {

// The UTF-8 text of the folder that holds the running program, where the worksheet file lives;
// nothing where Windows does not say.
std::optional<std::string> programFolder()
{
    std::wstring path(32768, L'\0'); // the longest path Windows has
    path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    if (path.empty()) {
        return std::nullopt;
    }
    return tallymere::win32::utf8Text(path.substr(0, path.find_last_of(L"\\/")));
}

// The system's temporary folder, in the long form that the program's folder is given in: a user's
// folder may be given by its short name (C:\Users\TEACHE~1) there.
std::string temporaryFolder()
{
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(GetTempPathW(static_cast<DWORD>(path.size()), path.data()));
    std::wstring longPath(32768, L'\0');
    longPath.resize(GetLongPathNameW(path.c_str(), longPath.data(), 32768));
    return tallymere::win32::utf8Text(longPath.empty() ? path : longPath);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand)
{
    INITCOMMONCONTROLSEX commonControls{sizeof commonControls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&commonControls);
    const std::wstring caption = tallymere::win32::wideText(tallymere::form::windowCaption);
    const auto failed = [&caption](std::string_view message) {
        MessageBoxW(nullptr, tallymere::win32::wideText(message).c_str(), caption.c_str(),
                    MB_OK | MB_ICONERROR);
        return 1;
    };
    const std::optional<std::string> folder = programFolder();
    if (!folder) {
        return failed(tallymere::form::noProgramFolderMessage);
    }
    tallymere::EngineRandom random; // the program's one random source
    const HWND form =
        tallymere::win32::showForm1(instance, *folder, temporaryFolder(), random, showCommand);
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
    return static_cast<int>(message.wParam);
}

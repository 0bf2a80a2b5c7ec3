// Drives the running Tallymere.exe from outside, as a user would, through the Windows API: finds
// the window by its caption and the controls by their ids, checks the form, then types, tabs,
// clicks and answers the message boxes with real input events.
//   drive_form1 WORKSHEET-FOLDER [DPI]
// At 96 dpi it also works the form: the folder must hold no worksheet yet; afterwards it holds one
// sheet of 100 ChainedSteps problems within 25, checked by the worksheet reader. At another DPI it
// checks the form's layout alone. Either way the program ends through 退出.
#include "control_ids.h"
#include "form1.h"
#include "generation/run.h"
#include "generation/utf16.h"
#include "support/worksheet_reader.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cwchar>
#include <filesystem>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <windows.h>

namespace {

using namespace tallymere;
using namespace std::chrono_literals;

struct CheckFailed : std::runtime_error {
    using std::runtime_error::runtime_error;
};

void check(bool holds, const std::string& what)
{
    if (!holds) {
        throw CheckFailed(what);
    }
}

// Polls for up to ten seconds.
template <typename Value> Value waitFor(const std::function<Value()>& find, const std::string& what)
{
    for (int attempt = 0; attempt < 200; ++attempt) {
        if (const Value value = find()) {
            return value;
        }
        std::this_thread::sleep_for(50ms);
    }
    throw CheckFailed("timed out waiting for " + what);
}

// WM_GETTEXT itself: GetWindowText gives only the stored caption of another process's window.
std::string textOf(HWND window)
{
    std::wstring text(static_cast<std::size_t>(SendMessageW(window, WM_GETTEXTLENGTH, 0, 0)) + 1,
                      L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return utf8Text(text);
}

std::string classOf(HWND window)
{
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return utf8Text(name);
}

HWND focusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

constexpr const form::Control& rangeBox = form::controlNamed(form::rangeBox);
constexpr const form::Control& countBox = form::controlNamed(form::countBox);
constexpr const form::Control& singleStep = form::controlNamed(form::modeButtons, 0);
constexpr const form::Control& chainedSteps = form::controlNamed(form::modeButtons, 1);
constexpr const form::Control& generateButton = form::controlNamed(form::generateButton);
constexpr const form::Control& quitButton = form::controlNamed(form::quitButton);

HWND controlOf(HWND form, const form::Control& control)
{
    return GetDlgItem(form, form::controlId(control));
}

// The control a focus belongs to: a combo box's edit field counts as the combo box.
HWND ownerOf(HWND focus)
{
    const HWND parent = GetParent(focus);
    return classOf(parent) == "ComboBox" ? parent : focus;
}

void send(std::initializer_list<INPUT> events)
{
    std::vector<INPUT> all(events);
    check(SendInput(static_cast<UINT>(all.size()), all.data(), sizeof(INPUT)) == all.size(),
          "SendInput refused the events");
    std::this_thread::sleep_for(100ms);
}

INPUT key(WORD virtualKey, bool up = false)
{
    INPUT event{};
    event.type = INPUT_KEYBOARD;
    event.ki.wVk = virtualKey;
    event.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return event;
}

void press(WORD virtualKey)
{
    send({key(virtualKey), key(virtualKey, true)});
}

void click(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    SetCursorPos((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2);
    INPUT down{};
    down.type = INPUT_MOUSE;
    down.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    INPUT up = down;
    up.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    send({down, up});
}

void checkChoices(HWND comboBox, const form::Control& control, const std::string& name)
{
    const auto count = SendMessageW(comboBox, CB_GETCOUNT, 0, 0);
    check(count == static_cast<LRESULT>(control.choices.size()), name + " has a wrong list");
    for (WPARAM entry = 0; entry < control.choices.size(); ++entry) {
        wchar_t text[16] = {};
        SendMessageW(comboBox, CB_GETLBTEXT, entry, reinterpret_cast<LPARAM>(text));
        check(utf8Text(text) == control.choices[entry], name + " lists \"" + utf8Text(text) + "\"");
    }
}

std::string rectText(const RECT& rect)
{
    return std::to_string(rect.left) + "," + std::to_string(rect.top) + " size " +
           std::to_string(rect.right - rect.left) + "x" + std::to_string(rect.bottom - rect.top);
}

// A combo box grows past its height only as much as its font forces: to show a whole list item in
// its field, within its border.
int forcedGrowth(HWND comboBox, int shown, int height)
{
    const auto item = SendMessageW(comboBox, CB_GETITEMHEIGHT, 0, 0);
    const auto field = SendMessageW(comboBox, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0);
    return std::max(0, static_cast<int>(item + shown - field) - height);
}

// Every control where the twips put it at the window's DPI, with its text and list.
void checkControls(HWND form, UINT dpi)
{
    const auto pixels = [dpi](int twips) { return MulDiv(twips, static_cast<int>(dpi), 1440); };
    for (const form::Control& control : form::controls) {
        const HWND hwnd = GetDlgItem(form, form::controlId(control));
        const std::string name =
            std::string(control.name) + "[" + std::to_string(control.index) + "]";
        check(hwnd != nullptr, name + " is missing");
        check(classOf(hwnd) == utf8Text(form::windowClassOf(control.kind)),
              name + " is a " + classOf(hwnd));
        check(textOf(hwnd) == control.text, name + " reads \"" + textOf(hwnd) + "\"");
        RECT rect{};
        GetWindowRect(hwnd, &rect);
        MapWindowPoints(HWND_DESKTOP, form, reinterpret_cast<POINT*>(&rect), 2);
        const form::Twips twips = form::windowTwips(control);
        const int extra = rect.bottom - rect.top - pixels(twips.height);
        check(rect.left == pixels(twips.left) && rect.top == pixels(twips.top) &&
                  rect.right - rect.left == pixels(twips.width) &&
                  extra == (control.kind == form::ComboBox
                                ? forcedGrowth(hwnd, rect.bottom - rect.top, pixels(twips.height))
                                : 0),
              name + " is at " + rectText(rect));
        if (control.kind == form::ComboBox) {
            checkChoices(hwnd, control, name);
        }
    }
    check(IsDlgButtonChecked(form, form::controlId(singleStep)) == BST_CHECKED,
          "加减 is not selected at start");
}

void checkTabOrder(HWND form)
{
    check(ownerOf(focusOf(form)) == controlOf(form, rangeBox), "the focus is not on Combo1");
    const HWND order[] = {controlOf(form, singleStep), controlOf(form, generateButton),
                          controlOf(form, quitButton), controlOf(form, countBox),
                          controlOf(form, rangeBox)};
    for (const HWND next : order) {
        press(VK_TAB);
        check(ownerOf(focusOf(form)) == next, "Tab went to \"" + textOf(focusOf(form)) + "\"");
    }
}

// What a message box showed before it was answered.
struct SeenBox {
    std::string text;
    bool icon = false;
    int buttons = 0;
};

SeenBox contentsOf(HWND box)
{
    SeenBox seen{textOf(GetDlgItem(box, 0xFFFF))};
    for (HWND child = GetWindow(box, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        const auto style = GetWindowLongW(child, GWL_STYLE);
        if (!(style & WS_VISIBLE)) {
            continue;
        }
        seen.icon |= classOf(child) == "Static" && (style & SS_TYPEMASK) == SS_ICON &&
                     SendMessageW(child, STM_GETICON, 0, 0) != 0;
        seen.buttons += classOf(child) == "Button";
    }
    return seen;
}

// Notes what the message box shows, then dismisses it with the Return key.
SeenBox answerBox(HWND form)
{
    const HWND box = waitFor<HWND>(
        [form] {
            const HWND found = FindWindowW(L"#32770", L"Tallymere");
            return found != nullptr && GetWindow(found, GW_OWNER) == form ? found : nullptr;
        },
        "a message box");
    const SeenBox seen = contentsOf(box);
    SetForegroundWindow(box);
    press(VK_RETURN);
    waitFor<bool>([box] { return !IsWindow(box); }, "the message box to close");
    return seen;
}

void typeInto(HWND form, const form::Control& control, const wchar_t* text)
{
    click(controlOf(form, control));
    send({key(VK_END), key(VK_END, true), key(VK_SHIFT), key(VK_HOME), key(VK_HOME, true),
          key(VK_SHIFT, true)});
    for (const wchar_t* c = text; *c != L'\0'; ++c) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = *c;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        send({down, up});
    }
}

HWND shownForm()
{
    const HWND form = waitFor<HWND>([] { return FindWindowW(L"Form1", L"Tallymere"); }, "Form1");
    waitFor<bool>([form] { return IsWindowVisible(form) != FALSE; }, "Form1 to show");
    SetForegroundWindow(form);
    std::this_thread::sleep_for(300ms);
    return form;
}

void quit(HWND form)
{
    click(controlOf(form, quitButton));
    waitFor<bool>([form] { return !IsWindow(form); }, "退出 to close the window");
}

void use(HWND form, const std::filesystem::path& folder)
{
    checkTabOrder(form);

    // Down steps Combo1 from its start value to the next entry of its list.
    press(VK_DOWN);
    check(textOf(controlOf(form, rangeBox)) == "20", "Down in Combo1 gave something other than 20");
    // A range that is not in the list, and 连加减 by the arrow key.
    typeInto(form, rangeBox, L"25");
    press(VK_TAB);
    press(VK_RIGHT);
    check(IsDlgButtonChecked(form, form::controlId(chainedSteps)) == BST_CHECKED,
          "the right arrow did not select 连加减");
    // Tabbing back into the pair lands on the selected button, as in the Qt window.
    press(VK_TAB);
    send({key(VK_SHIFT), key(VK_TAB), key(VK_TAB, true), key(VK_SHIFT, true)});
    check(focusOf(form) == controlOf(form, chainedSteps),
          "Shift+Tab went to \"" + textOf(focusOf(form)) + "\", not back to 连加减");
    // On through both commands to Combo2, where Up steps from 100 back to 80.
    press(VK_TAB);
    press(VK_TAB);
    press(VK_TAB);
    press(VK_UP);
    check(textOf(controlOf(form, countBox)) == "80", "Up in Combo2 gave something other than 80");

    // A folder in the file's place: a warning naming the file, and the window stays.
    const auto file = folder / u8"口算题.doc";
    std::filesystem::create_directory(file);
    click(controlOf(form, generateButton));
    const SeenBox failure = answerBox(form);
    check(failure.text.find("口算题.doc") != std::string::npos,
          "the failure reads \"" + failure.text + "\"");
    check(failure.icon && failure.buttons == 1, "the failure box is not a warning with OK alone");
    check(IsWindowVisible(form) != FALSE, "the window went away after a failure");
    std::filesystem::remove(file);

    // The click left the focus on 生成Word, and Enter presses the button that has the focus.
    press(VK_RETURN);
    const SeenBox completion = answerBox(form);
    check(completion.text == completionMessage,
          "the completion box reads \"" + completion.text + "\"");
    check(!completion.icon && completion.buttons == 1,
          "the completion box has an icon or more than OK");
    check(textOf(controlOf(form, rangeBox)) == "25", "the settings changed after the run");
    const auto sheets = testing::readWorksheets(testing::fileBytes(file));
    check(sheets.size() == 1, std::to_string(sheets.size()) + " sheets were written");
    const std::string fault = testing::layoutFault(sheets[0], 80, DifficultyMode::ChainedSteps) +
                              testing::rangeFault(sheets[0], 25, DifficultyMode::ChainedSteps);
    check(fault.empty(), fault);

    // Tab reaches 退出, and Enter presses it too.
    press(VK_TAB);
    press(VK_RETURN);
    waitFor<bool>([form] { return !IsWindow(form); }, "Enter on 退出 to close the window");
}

int iconWidth(ULONG_PTR icon)
{
    ICONINFO info{};
    if (icon == 0 || !GetIconInfo(reinterpret_cast<HICON>(icon), &info)) {
        return 0;
    }
    BITMAP bitmap{};
    GetObjectW(info.hbmColor, sizeof bitmap, &bitmap);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// What Wine lets no other process see or send: a window of the driver's own, with the icons of
// Tallymere.exe, then the messages that Windows sends when the window moves to a 144-dpi monitor
// and when a click on its taskbar button activates it while still minimised.
void checkOwnWindow(const std::filesystem::path& folder)
{
    const HINSTANCE program = LoadLibraryExW((folder / L"Tallymere.exe").c_str(), nullptr,
                                             LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    check(program != nullptr, "cannot read the resources of Tallymere.exe");
    const HWND form = win32::showForm1(program, testing::pathText(folder), SW_SHOWNORMAL);
    check(form != nullptr, "the driver could not open a window of its own");
    check(iconWidth(GetClassLongPtrW(form, GCLP_HICON)) == GetSystemMetrics(SM_CXICON) &&
              iconWidth(GetClassLongPtrW(form, GCLP_HICONSM)) == GetSystemMetrics(SM_CXSMICON),
          "the window's icons are not of the system's sizes");

    SIZE size{};
    check(SendMessageW(form, WM_GETDPISCALEDSIZE, 144, reinterpret_cast<LPARAM>(&size)) != 0,
          "WM_GETDPISCALEDSIZE was not answered");
    RECT suggested{50, 60, 51, 61};
    SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT frame{};
    GetWindowRect(form, &frame);
    check(frame.left == 50 && frame.top == 60 && frame.right - frame.left == size.cx &&
              frame.bottom - frame.top == size.cy,
          "after a move to 144 dpi the window is at " + rectText(frame));
    checkControls(form, 144);

    SetFocus(controlOf(form, quitButton));
    SendMessageW(form, WM_ACTIVATE, WA_INACTIVE, 0);
    SetFocus(nullptr);
    SendMessageW(form, WM_ACTIVATE, MAKEWPARAM(WA_ACTIVE, TRUE), 0);
    check(GetFocus() == nullptr, "a control took the focus while the window was minimised");
    SendMessageW(form, WM_ACTIVATE, WA_ACTIVE, 0);
    check(GetFocus() == controlOf(form, quitButton), "the focus did not come back to 退出");
    DestroyWindow(form);
}

} // namespace

int wmain(int argc, wchar_t* argv[])
{
    if (argc < 2 || argc > 3) {
        std::fputs("usage: drive_form1 WORKSHEET-FOLDER [DPI]\n", stderr);
        return 2;
    }
    // Coordinates as the window sees them, not scaled for a program that knows no DPI.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    try {
        const HWND form = shownForm();
        const UINT dpi = argc == 3 ? static_cast<UINT>(std::wcstoul(argv[2], nullptr, 10)) : 96;
        check(GetDpiForWindow(form) == dpi,
              "the window is at " + std::to_string(GetDpiForWindow(form)) + " dpi");
        // The system the program ran on, for the check that starts it in a Chinese locale.
        std::printf("code page %u, %u dpi\n", GetACP(), dpi);
        RECT client{};
        GetClientRect(form, &client);
        check(client.right == MulDiv(form::clientWidth, dpi, 1440) &&
                  client.bottom == MulDiv(form::clientHeight, dpi, 1440),
              "the client area is " + rectText(client));
        checkControls(form, dpi);
        if (argc == 2) {
            use(form, argv[1]);
            checkOwnWindow(argv[1]);
        } else {
            quit(form);
        }
    } catch (const std::exception& failure) {
        std::fprintf(stderr, "drive_form1: %s\n", failure.what());
        return 1;
    }
    return 0;
}

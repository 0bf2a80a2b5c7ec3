#include "layout.h"

#include "controls.h"
#include "form_table.h"

namespace tallymere::win32 {

namespace {

// A function of the system's that older Windows lack; nullptr there.
template <typename Function> Function newerFunction(const wchar_t* library, const char* name)
{
    const HMODULE module = LoadLibraryExW(library, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

// Windows 8.1 and Windows 10 before 1607 know each monitor's DPI, though not yet a window's; 0 on
// Windows 7 and 8.
UINT monitorDpi(HWND window)
{
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    static const auto getDpiForMonitor =
        newerFunction<GetDpiForMonitorFunction>(L"shcore.dll", "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor == nullptr ||
        FAILED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), effectiveDpi,
                                &x, &y))) {
        return 0;
    }
    return y;
}

// Windows 7 and 8: one DPI for every monitor.
UINT systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

// Windows 10 1607 and later know each window's DPI.
UINT windowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow =
        newerFunction<GetDpiForWindowFunction>(L"user32.dll", "GetDpiForWindow");
    UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    if (dpi == 0) {
        dpi = monitorDpi(window);
    }
    return dpi != 0 ? dpi : systemDpi();
}

// The frame at the window's DPI on Windows 10 1607 and later, at the system's before.
SIZE frameSize(SIZE client, DWORD style, UINT dpi)
{
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi =
        newerFunction<AdjustFunction>(L"user32.dll", "AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

// At the window's DPI on Windows 10 1607 and later; scaled from the system's before.
Font messageFont(UINT dpi)
{
    using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi =
        newerFunction<ParametersFunction>(L"user32.dll", "SystemParametersInfoForDpi");
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (parametersForDpi != nullptr) {
        parametersForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    } else {
        SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0);
        metrics.lfMessageFont.lfHeight = MulDiv(
            metrics.lfMessageFont.lfHeight, static_cast<int>(dpi), static_cast<int>(systemDpi()));
    }
    return Font(CreateFontIndirectW(&metrics.lfMessageFont));
}

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

// A drop-down combo box is its field, at least one item high, and a border that the theme decides:
// the field gets what the height leaves beyond the least box. Never read back: Wine adds 2 pixels.
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

// Windows 10 1607 only: later ones scale the title bar of a window that is aware of its monitor
// by themselves (PerMonitorV2), earlier ones never.
void enableNonClientScaling(HWND window)
{
    using EnableFunction = BOOL(WINAPI*)(HWND);
    static const auto enable =
        newerFunction<EnableFunction>(L"user32.dll", "EnableNonClientDpiScaling");
    if (enable != nullptr) {
        enable(window);
    }
}

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
        const HWND hwnd = controlOf(window, control);
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

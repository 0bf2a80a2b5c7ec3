#include "dpi.h"

namespace tallymere::win32 {

namespace {

template <typename Function> Function functionOf(HMODULE module, const char* name)
{
    const FARPROC found = module != nullptr ? GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

template <typename Function> Function user32Function(const char* name)
{
    return functionOf<Function>(GetModuleHandleW(L"user32.dll"), name);
}

// Windows 8.1 and the first Windows 10 know each monitor's DPI, though not yet a window's; 0 where
// neither is known.
UINT monitorDpi(HWND window)
{
    using GetDpiForMonitorFunction = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);
    constexpr int effectiveDpi = 0; // MDT_EFFECTIVE_DPI
    static const auto getDpiForMonitor = functionOf<GetDpiForMonitorFunction>(
        LoadLibraryExW(L"shcore.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32), "GetDpiForMonitor");
    UINT x = 0;
    UINT y = 0;
    if (getDpiForMonitor == nullptr ||
        FAILED(getDpiForMonitor(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST), effectiveDpi,
                                &x, &y))) {
        return 0;
    }
    return y;
}

UINT systemDpi()
{
    const HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : USER_DEFAULT_SCREEN_DPI;
}

} // namespace

UINT windowDpi(HWND window)
{
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = user32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    UINT dpi = getDpiForWindow != nullptr ? getDpiForWindow(window) : 0;
    if (dpi == 0) {
        dpi = monitorDpi(window);
    }
    return dpi != 0 ? dpi : systemDpi();
}

void enableNonClientScaling(HWND window)
{
    using EnableFunction = BOOL(WINAPI*)(HWND);
    static const auto enable = user32Function<EnableFunction>("EnableNonClientDpiScaling");
    if (enable != nullptr) {
        enable(window);
    }
}

SIZE frameSize(SIZE client, DWORD style, UINT dpi)
{
    using AdjustFunction = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = user32Function<AdjustFunction>("AdjustWindowRectExForDpi");
    RECT frame{0, 0, client.cx, client.cy};
    if (adjustForDpi != nullptr) {
        adjustForDpi(&frame, style, FALSE, 0, dpi);
    } else {
        AdjustWindowRectEx(&frame, style, FALSE, 0);
    }
    return {frame.right - frame.left, frame.bottom - frame.top};
}

HICON iconAt(HINSTANCE instance, int widthMetric, int heightMetric)
{
    using LoadFunction = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
    static const auto loadScaledDown =
        functionOf<LoadFunction>(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown");
    const int width = GetSystemMetrics(widthMetric);
    const int height = GetSystemMetrics(heightMetric);
    HICON icon = nullptr;
    if (loadScaledDown != nullptr &&
        SUCCEEDED(loadScaledDown(instance, MAKEINTRESOURCEW(1), width, height, &icon))) {
        return icon;
    }
    return static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, width, height, LR_DEFAULTCOLOR));
}

Font messageFont(UINT dpi)
{
    using ParametersFunction = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
    static const auto parametersForDpi =
        user32Function<ParametersFunction>("SystemParametersInfoForDpi");
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

} // namespace tallymere::win32

#pragma once

#include <string>
#include <windows.h>

struct IAccPropServices;

namespace tallymere::win32 {

// Gives controls the names a screen reader speaks, through Windows' dynamic annotation; where the
// service is missing, the controls keep their default names.
class ScreenReaderNames {
public:
    ScreenReaderNames();
    ScreenReaderNames(const ScreenReaderNames&) = delete;
    ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;
    ~ScreenReaderNames();

    void name(HWND control, const std::wstring& name);
    // Before the controls are destroyed, as the service asks.
    void clear(HWND control);

private:
    IAccPropServices* service_ = nullptr;
};

} // namespace tallymere::win32

#pragma once

#include "controls.h"
#include "utf16.h"

#include <initguid.h> // defines the annotation GUIDs where this is included, in form1.cpp alone
#include <oleacc.h>

namespace tallymere::win32 {

// The edit field of a combo box is what has the focus and what a screen reader announces.
inline HWND editOf(HWND comboBox)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    return GetComboBoxInfo(comboBox, &info) ? info.hwndItem : nullptr;
}

// Calls `each` with every control that takes focus and the name a screen reader speaks for it.
template <typename Each> void forNamedControls(HWND window, Each each)
{
    for (const form::Control& control : form::controls) {
        if (control.kind == form::ComboBox || control.kind == form::OptionButton) {
            const std::wstring name = wideText(form::accessibleName(control));
            each(controlOf(window, control), name);
            if (const HWND edit = editOf(controlOf(window, control))) {
                each(edit, name);
            }
        }
    }
}

// Gives the window's controls the names a screen reader speaks, through Windows' dynamic
// annotation; where the service is missing, they keep their default names.
class ScreenReaderNames {
public:
    explicit ScreenReaderNames(HWND window)
        : com_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))
    {
        CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER, IID_IAccPropServices,
                         reinterpret_cast<void**>(&service_)); // nullptr where it fails
        forNamedControls(window, [this](HWND control, const std::wstring& name) {
            if (service_ != nullptr) {
                service_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         PROPID_ACC_NAME, name.c_str());
            }
        });
    }
    ScreenReaderNames(const ScreenReaderNames&) = delete;
    ScreenReaderNames& operator=(const ScreenReaderNames&) = delete;
    ~ScreenReaderNames()
    {
        if (service_ != nullptr) {
            service_->Release();
        }
        if (SUCCEEDED(com_)) {
            CoUninitialize();
        }
    }
    // Before the controls are destroyed, as the service asks.
    void clear(HWND window)
    {
        forNamedControls(window, [this](HWND control, const std::wstring&) {
            MSAAPROPID name = PROPID_ACC_NAME;
            if (service_ != nullptr) {
                service_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                         &name, 1);
            }
        });
    }

private:
    HRESULT com_;
    IAccPropServices* service_ = nullptr;
};

} // namespace tallymere::win32

#include "screen_reader_names.h"

#include <initguid.h> // defines the annotation GUIDs here rather than in a library
#include <oleacc.h>

namespace tallymere::win32 {

ScreenReaderNames::ScreenReaderNames()
{
    void* service = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_AccPropServices, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IAccPropServices, &service))) {
        service_ = static_cast<IAccPropServices*>(service);
    }
}

ScreenReaderNames::~ScreenReaderNames()
{
    if (service_ != nullptr) {
        service_->Release();
    }
}

void ScreenReaderNames::name(HWND control, const std::wstring& name)
{
    if (service_ != nullptr) {
        service_->SetHwndPropStr(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF,
                                 PROPID_ACC_NAME, name.c_str());
    }
}

void ScreenReaderNames::clear(HWND control)
{
    MSAAPROPID name = PROPID_ACC_NAME;
    if (service_ != nullptr) {
        service_->ClearHwndProps(control, static_cast<DWORD>(OBJID_CLIENT), CHILDID_SELF, &name, 1);
    }
}

} // namespace tallymere::win32

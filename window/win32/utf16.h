#pragma once

#include <string>
#include <string_view>
#include <windows.h>

// Windows speaks UTF-16, the core and the form UTF-8, converted by Windows itself. A folder's name
// that this cannot carry (a lone surrogate, which NTFS allows and no one types) turns into U+FFFD,
// and a run then says that the folder does not exist: a program moved to another folder works.
namespace tallymere::win32 {

inline std::wstring wideText(std::string_view utf8)
{
    std::wstring wide(utf8.size(), L'\0'); // never more UTF-16 units than UTF-8 bytes
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()),
                                    wide.data(), static_cast<int>(wide.size())));
    return wide;
}

inline std::string utf8Text(std::wstring_view wide)
{
    std::string utf8(wide.size() * 3, '\0'); // never more than three bytes a UTF-16 unit
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

} // namespace tallymere::win32

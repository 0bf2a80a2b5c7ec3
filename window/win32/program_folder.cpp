#include "program_folder.h"

#include "utf16_win32.h"

#include <windows.h>

namespace tallymere::win32 {

std::optional<std::string> programFolder()
{
    // Paths may be longer than MAX_PATH; grow the buffer until the whole name fits.
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return std::nullopt;
        }
        if (length < path.size()) {
            path.resize(length);
            break;
        }
        path.resize(path.size() * 2);
    }
    return utf8Text(path.substr(0, path.find_last_of(L"\\/")));
}

std::string temporaryFolder()
{
    std::wstring path(MAX_PATH + 1, L'\0');
    path.resize(GetTempPathW(static_cast<DWORD>(path.size()), path.data()));
    // A user's folder may be given by its short name (C:\Users\TEACHE~1), as the program's never
    // is.
    std::wstring longPath(32768, L'\0');
    longPath.resize(GetLongPathNameW(path.c_str(), longPath.data(), 32768));
    return utf8Text(longPath.empty() ? path : longPath);
}

} // namespace tallymere::win32

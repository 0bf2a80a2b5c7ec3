#pragma once

#include "system_file.h"

#include <functional>
#include <windows.h>

namespace tallymere {

// The Windows calls a PlatformFile makes; each fails as the system does, with GetLastError's code.
struct SystemCalls {
    std::function<HANDLE(const wchar_t*, DWORD, DWORD, SECURITY_ATTRIBUTES*, DWORD, DWORD, HANDLE)>
        createFile = CreateFileW;
    std::function<DWORD(const wchar_t*)> getFileAttributes = GetFileAttributesW;
    std::function<DWORD(HANDLE)> getFileType = GetFileType;
    std::function<BOOL(HANDLE, DWORD, DWORD, DWORD, DWORD, OVERLAPPED*)> lockFile = LockFileEx;
    std::function<BOOL(HANDLE, LARGE_INTEGER*)> getFileSize = GetFileSizeEx;
    std::function<BOOL(HANDLE, void*, DWORD, DWORD*, OVERLAPPED*)> readFile = ReadFile;
    std::function<BOOL(HANDLE, const void*, DWORD, DWORD*, OVERLAPPED*)> writeFile = WriteFile;
    std::function<BOOL(HANDLE)> flushFileBuffers = FlushFileBuffers;
    // Cuts the file back (FileEndOfFileInfo) and removes it (FileDispositionInfo).
    std::function<BOOL(HANDLE, FILE_INFO_BY_HANDLE_CLASS, void*, DWORD)> setFileInformation =
        SetFileInformationByHandle;
    std::function<BOOL(HANDLE)> closeHandle = CloseHandle;
};

} // namespace tallymere

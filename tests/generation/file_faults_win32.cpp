#include "file_faults.h"
#include "utf16_win32.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tallymere::testing {

namespace {

// Another program's hold on the file: a shared lock, which a writer must wait for as much as for an
// exclusive one, or a handle that shares no writing, as Word holds a document it shows.
Lift hold(const fs::path& file, bool lock)
{
    const DWORD sharing = lock ? FILE_SHARE_READ | FILE_SHARE_WRITE : FILE_SHARE_READ;
    const HANDLE holder =
        CreateFileW(file.c_str(), GENERIC_READ, sharing, nullptr, OPEN_EXISTING, 0, nullptr);
    if (OVERLAPPED from{}; lock) {
        LockFileEx(holder, 0, 0, MAXDWORD, MAXDWORD, &from);
    }
    return [holder] { CloseHandle(holder); };
}

Lift makeReadOnly(const fs::path& file)
{
    SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
    return [file] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); };
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"read_only_file", "没有写入权限。这次没有写入任何内容。请把本程序复制到“桌面”",
         makeReadOnly, false, false, true},
        {"locked_by_another_program", "文件正被其他程序使用。这次没有写入任何内容。请在Word或WPS",
         [](const fs::path& file) { return hold(file, true); }, true},
        {"open_in_another_program", "文件正被其他程序使用",
         [](const fs::path& file) { return hold(file, false); }, true},
    };
    return faults;
}

// A folder's name, through the core's UTF-8, comes back as Windows keeps it, lone surrogates and
// all (NTFS allows them; Wine does not, so the check has no real folder).
TEST(FolderNames, ComeBackAsWindowsKeepsThem)
{
    for (const std::wstring name :
         {L"C:\\老师\\口算", L"x\xD800y", L"\xDFFF", L"\xD83D\xDE00\xD83D"}) {
        EXPECT_EQ(wideText(utf8Text(name)), name);
    }
}

} // namespace tallymere::testing

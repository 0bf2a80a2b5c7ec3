#include "file_faults.h"

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
    OVERLAPPED from{};
    if (lock) {
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
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置", folderInTheFilesPlace},
        {"read_only_file", "没有写入权限", makeReadOnly},
        {"locked_by_another_program", "文件正被其他程序使用",
         [](const fs::path& file) { return hold(file, true); }, nullptr, 5},
        {"open_in_another_program", "文件正被其他程序使用",
         [](const fs::path& file) { return hold(file, false); }, nullptr, 1},
        {"disk_full_part_way", "磁盘已满。文件保持原样。", nullptr, nullptr, 0, true},
    };
    return faults;
}

} // namespace tallymere::testing

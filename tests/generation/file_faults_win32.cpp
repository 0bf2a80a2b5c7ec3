#include "file_faults.h"
#include "utf16_win32.h"

#include <cstdint>
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

// Under Wine, FlushFileBuffers is Linux's fsync in the calling thread: a seccomp filter, installed
// with Linux's own prctl, fails it there, as a disk that reports a fault only then.
#if defined(__x86_64__)
constexpr std::uint32_t fsyncCall = 74, fdatasyncCall = 75;
#else
constexpr std::uint32_t fsyncCall = 118, fdatasyncCall = 148;
#endif

// Linux's prctl(option, argument, pointer, 0, 0).
long linuxPrctl(long option, long argument, const void* pointer)
{
    long result;
#if defined(__x86_64__)
    register long fourth asm("r10") = 0;
    register long fifth asm("r8") = 0;
    asm volatile("syscall"
                 : "=a"(result)
                 : "a"(157), "D"(option), "S"(argument), "d"(pointer), "r"(fourth), "r"(fifth)
                 : "rcx", "r11", "memory");
#else
    asm volatile("int $0x80"
                 : "=a"(result)
                 : "a"(172), "b"(option), "c"(argument), "d"(pointer), "S"(0), "D"(0)
                 : "memory");
#endif
    return result;
}

void failFlushes()
{
    // The kernel's struct sock_filter: load the call's number, fail fsync and fdatasync with EIO.
    struct {
        std::uint16_t code;
        std::uint8_t jumpIfTrue, jumpIfFalse;
        std::uint32_t value;
    } filter[] = {{0x20, 0, 0, 0},
                  {0x15, 1, 0, fsyncCall},
                  {0x15, 0, 1, fdatasyncCall},
                  {0x06, 0, 0, 0x00050000 | 5},
                  {0x06, 0, 0, 0x7fff0000}};
    const struct {
        unsigned short length;
        void* filter;
    } program{5, filter};
    ASSERT_EQ(linuxPrctl(38, 1, nullptr), 0);  // PR_SET_NO_NEW_PRIVS
    ASSERT_EQ(linuxPrctl(22, 2, &program), 0); // PR_SET_SECCOMP, SECCOMP_MODE_FILTER
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    static const std::vector<Fault> faults = {
        {"folder_in_the_files_place", "同名的文件夹占用了这个位置。这次没有写入任何内容。请把名叫",
         folderInTheFilesPlace},
        {"read_only_file", "没有写入权限。这次没有写入任何内容。请把本程序复制到“桌面”",
         makeReadOnly, nullptr, false, false, true},
        {"locked_by_another_program",
         "文件正被其他程序使用。这次没有写入任何内容。请在Word或WPS里关闭",
         [](const fs::path& file) { return hold(file, true); }, nullptr, true},
        {"open_in_another_program", "文件正被其他程序使用",
         [](const fs::path& file) { return hold(file, false); }, nullptr, true},
        {"disk_full_part_way", "磁盘已满。文件保持原样。请删除一些不需要的文件", nullptr, nullptr,
         false, true},
        {"first_sheet_on_a_full_disk", "磁盘已满。没有留下文件。", noFile, nullptr, false, true},
        {"flush_to_disk_fails", "文件保持原样。请再按一次“生成Word”", nullptr, failFlushes},
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

#include "file_faults.h"
#include "system_calls_win32.h"
#include "utf16_win32.h"

#include <gtest/gtest.h>

namespace tallymere::testing {

const std::uint32_t diskFull = ERROR_DISK_FULL, ioError = ERROR_IO_DEVICE,
                    accessDenied = ERROR_ACCESS_DENIED;

std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file)
{
    struct Made {
        std::string failed; // the calls that have failed
        bool wrote = false, wrotePart = false, grown = false;
    };
    const auto made = std::make_shared<Made>();
    const auto fails = [&row, made](char call) {
        if (row.failing.find(call) == std::string_view::npos ||
            (row.once && made->failed.find(call) != std::string::npos)) {
            return false;
        }
        made->failed += call;
        SetLastError(row.code);
        return true;
    };
    const auto grow = [&row, made](char call, HANDLE handle) {
        if (row.grows == call && !std::exchange(made->grown, true)) {
            OVERLAPPED atTheEnd{};
            atTheEnd.Offset = atTheEnd.OffsetHigh = MAXDWORD;
            DWORD written = 0;
            WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, &atTheEnd);
        }
    };
    const auto held = [&clock](std::chrono::milliseconds time) {
        return clock.now() < Clock::TimePoint(time);
    };
    auto calls = std::make_shared<SystemCalls>();
    calls->createFile = [=, &row](const wchar_t* path, DWORD access, DWORD sharing,
                                  SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                                  HANDLE model) {
        if (held(row.heldFor / 2)) {
            SetLastError(ERROR_SHARING_VIOLATION);
            return INVALID_HANDLE_VALUE;
        }
        if (fails('o') || (disposition == CREATE_NEW && fails('x'))) {
            return INVALID_HANDLE_VALUE;
        }
        const HANDLE opened =
            CreateFileW(path, access, sharing, security, disposition, flags, model);
        if (opened != INVALID_HANDLE_VALUE) {
            grow('o', opened);
        }
        return opened;
    };
    calls->lockFile = [=, &row](HANDLE handle, DWORD how, DWORD reserved, DWORD low, DWORD high,
                                OVERLAPPED* from) {
        if (made->failed.find('n') == std::string::npos && fails('n')) {
            std::error_code refused; // as it must be: no handle to the file shares its deletion
            fs::remove(file, refused);
        }
        if (held(row.heldFor)) {
            SetLastError(ERROR_LOCK_VIOLATION);
            return FALSE;
        }
        return fails('l') ? FALSE : LockFileEx(handle, how, reserved, low, high, from);
    };
    calls->getFileSize = [=](HANDLE handle, LARGE_INTEGER* size) {
        return fails(made->wrote ? 'r' : 's') ? FALSE : GetFileSizeEx(handle, size);
    };
    calls->readFile = [=](HANDLE handle, void* head, DWORD size, DWORD* read, OVERLAPPED* at) {
        return fails('h') ? FALSE : ReadFile(handle, head, size, read, at);
    };
    calls->writeFile = [=, &row](HANDLE handle, const void* bytes, DWORD size, DWORD* written,
                                 OVERLAPPED* at) {
        grow('w', handle);
        made->wrote = true;
        if (!fails('w')) {
            return WriteFile(handle, bytes, size, written, at);
        }
        if (row.partly > 0 && !std::exchange(made->wrotePart, true)) {
            return WriteFile(handle, bytes, static_cast<DWORD>(row.partly), written, at);
        }
        *written = 0;
        return row.code == 0 ? TRUE : FALSE;
    };
    calls->flushFileBuffers = [=](HANDLE handle) {
        grow('f', handle);
        return fails('f') ? FALSE : FlushFileBuffers(handle);
    };
    calls->setFileInformation = [=](HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                    DWORD size) {
        return fails(kind == FileEndOfFileInfo ? 't' : 'd')
                   ? FALSE
                   : SetFileInformationByHandle(handle, kind, info, size);
    };
    calls->closeHandle = [=](HANDLE handle) {
        const BOOL closed = CloseHandle(handle); // a handle is gone even where its close fails
        return fails('c') ? FALSE : closed;
    };
    return calls;
}

std::vector<Outcome> systemOutcomes(const std::string& earlier)
{
    const auto refused = [&earlier](const char* name, DWORD code, FileFault fault) {
        return Outcome{name, earlier, earlier, toldBeforeWriting(fault), "o", code};
    };
    using enum FileFault;
    return {
        refused("ERROR_ACCESS_DENIED", ERROR_ACCESS_DENIED, NoPermission),
        refused("ERROR_WRITE_PROTECT", ERROR_WRITE_PROTECT, ReadOnlyDisk),
        refused("ERROR_PATH_NOT_FOUND", ERROR_PATH_NOT_FOUND, FolderMissing),
        refused("ERROR_FILE_NOT_FOUND", ERROR_FILE_NOT_FOUND, FolderMissing),
        refused("ERROR_BAD_NETPATH", ERROR_BAD_NETPATH, FolderMissing),
        refused("ERROR_DISK_FULL", ERROR_DISK_FULL, DiskFull),
        refused("ERROR_HANDLE_DISK_FULL", ERROR_HANDLE_DISK_FULL, DiskFull),
        refused("ERROR_DISK_QUOTA_EXCEEDED", 1295, QuotaUsed),
        refused("ERROR_FILE_TOO_LARGE", ERROR_FILE_TOO_LARGE, TooLarge),
        refused("ERROR_SHARING_VIOLATION", ERROR_SHARING_VIOLATION, InUse),
        refused("ERROR_LOCK_VIOLATION", ERROR_LOCK_VIOLATION, InUse),
    };
}

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
    using enum FileFault;
    static const std::vector<Fault> faults = {
        {"read_only_file", toldBeforeWriting(ReadOnlyFile), makeReadOnly, false, false, true},
        {"locked_by_another_program", toldBeforeWriting(InUse),
         [](const fs::path& file) { return hold(file, true); }, true},
        {"open_in_another_program", toldBeforeWriting(InUse),
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

#include "file_faults.h"
#include "system_calls_win32.h"

#include <gtest/gtest.h>

namespace tallymere::testing {

const std::uint32_t diskFull = ERROR_DISK_FULL, ioError = ERROR_IO_DEVICE,
                    accessDenied = ERROR_ACCESS_DENIED, openHeld = ERROR_SHARING_VIOLATION,
                    lockHeld = ERROR_LOCK_VIOLATION;

void setSystemError(std::uint32_t code)
{
    SetLastError(code);
}

std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file)
{
    const auto plan = std::make_shared<Plan>(row, clock);
    const auto grow = [plan](char call, HANDLE handle) {
        if (plan->grows(call)) {
            OVERLAPPED atTheEnd{};
            atTheEnd.Offset = atTheEnd.OffsetHigh = MAXDWORD;
            DWORD written = 0;
            WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, &atTheEnd);
        }
    };
    auto calls = std::make_shared<SystemCalls>();
    calls->createFile = [=](const wchar_t* path, DWORD access, DWORD sharing,
                            SECURITY_ATTRIBUTES* security, DWORD disposition, DWORD flags,
                            HANDLE model) {
        const HANDLE opened =
            plan->refusesOpen(disposition == CREATE_NEW)
                ? INVALID_HANDLE_VALUE
                : CreateFileW(path, access, sharing, security, disposition, flags, model);
        if (opened != INVALID_HANDLE_VALUE) {
            grow('o', opened);
        }
        return opened;
    };
    calls->lockFile = [=](HANDLE handle, DWORD how, DWORD reserved, DWORD low, DWORD high,
                          OVERLAPPED* from) {
        return plan->refusesLock(file) ? FALSE : LockFileEx(handle, how, reserved, low, high, from);
    };
    calls->getFileSize = [=](HANDLE handle, LARGE_INTEGER* size) {
        return plan->refusesSize() ? FALSE : GetFileSizeEx(handle, size);
    };
    calls->readFile = unless(plan, 'h', FALSE, ReadFile);
    calls->writeFile = [=](HANDLE handle, const void* bytes, DWORD size, DWORD* written,
                           OVERLAPPED* at) {
        grow('w', handle);
        const auto some = plan->written(size);
        *written = 0;
        return !some        ? FALSE
               : *some == 0 ? TRUE
                            : WriteFile(handle, bytes, static_cast<DWORD>(*some), written, at);
    };
    calls->flushFileBuffers = [=](HANDLE handle) {
        grow('f', handle);
        return plan->fails('f') ? FALSE : FlushFileBuffers(handle);
    };
    calls->setFileInformation = [=](HANDLE handle, FILE_INFO_BY_HANDLE_CLASS kind, void* info,
                                    DWORD size) {
        return plan->fails(kind == FileEndOfFileInfo ? 't' : 'd')
                   ? FALSE
                   : SetFileInformationByHandle(handle, kind, info, size);
    };
    calls->closeHandle = [=](HANDLE handle) {
        const BOOL closed = CloseHandle(handle); // a handle is gone even where its close fails
        return plan->fails('c') ? FALSE : closed;
    };
    return calls;
}

std::vector<Outcome> systemOutcomes(const std::string& earlier)
{
    const auto refused = [&earlier](const char* name, DWORD code, FileFault fault) {
        return Outcome{name, earlier, earlier, toldBeforeWriting(fault), "o", code};
    };
    using enum FileFault;
    // clang-format off
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
        {.name = "read_only_file", .before = earlier, .after = earlier,
            .told = toldBeforeWriting(ReadOnlyFile), .impose = [](const fs::path& file) -> Lift {
                SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY);
                return [file] { SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); };
            }, .permission = true},
        // Open in Word, which holds a document it shows with a handle that shares no writing.
        {.name = "open_in_another_program", .before = earlier, .after = earlier,
            .told = toldBeforeWriting(InUse), .impose = [](const fs::path& file) -> Lift {
                const HANDLE holder = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, 0, nullptr);
                return [holder] { CloseHandle(holder); };
            }},
    };
    // clang-format on
}

} // namespace tallymere::testing

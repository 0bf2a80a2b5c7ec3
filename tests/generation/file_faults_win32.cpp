#include "file_faults.h"
#include "system_calls_win32.h"

#include <cstdlib>
#include <gtest/gtest.h>

namespace tallymere::testing {

const std::uint32_t diskFull = ERROR_DISK_FULL, ioError = ERROR_IO_DEVICE,
                    accessDenied = ERROR_ACCESS_DENIED, openHeld = ERROR_SHARING_VIOLATION,
                    lockHeld = ERROR_LOCK_VIOLATION;

void setSystemError(std::uint32_t code)
{
    SetLastError(code);
}

std::shared_ptr<const SystemCalls> faultyCalls(const std::shared_ptr<Plan>& plan)
{
    const SystemCalls& real = systemCalls();
    const auto grow = [plan](Call call, HANDLE handle) {
        if (handle != INVALID_HANDLE_VALUE && plan->grows(call)) {
            OVERLAPPED atTheEnd{};
            atTheEnd.Offset = atTheEnd.OffsetHigh = MAXDWORD;
            DWORD written = 0;
            WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, &atTheEnd);
        }
    };
    auto calls = std::make_shared<SystemCalls>(real);
    calls->createFile = [=, &real](auto path, auto access, auto sharing, auto security,
                                   DWORD disposition, auto... rest) {
        const Call call = disposition == CREATE_NEW ? Call::OpenNew : Call::Open;
        const HANDLE opened = plan->fails(call) ? INVALID_HANDLE_VALUE
                                                : real.createFile(path, access, sharing, security,
                                                                  disposition, rest...);
        grow(Call::Open, opened);
        return opened;
    };
    calls->lockFile = unless(plan, Call::Lock, FALSE, real.lockFile);
    calls->getFileSize = unless(plan, Call::Size, FALSE, real.getFileSize);
    calls->readFile = unless(plan, Call::Head, FALSE, real.readFile);
    calls->writeFile = [=, &real](HANDLE handle, auto bytes, DWORD size, DWORD* written, auto at) {
        grow(Call::Write, handle);
        const auto some = plan->written(size);
        *written = 0;
        return !some        ? FALSE
               : *some == 0 ? TRUE
                            : real.writeFile(handle, bytes, static_cast<DWORD>(*some), written, at);
    };
    calls->flushFileBuffers = [=, &real](HANDLE handle) {
        grow(Call::Flush, handle);
        return plan->fails(Call::Flush) ? FALSE : real.flushFileBuffers(handle);
    };
    calls->setFileInformation = [=, &real](HANDLE handle, auto kind, auto... rest) {
        const Call call = kind == FileEndOfFileInfo ? Call::Truncate : Call::Remove;
        return plan->fails(call) ? FALSE : real.setFileInformation(handle, kind, rest...);
    };
    calls->closeHandle = [=, &real](HANDLE handle) {
        const BOOL closed = real.closeHandle(handle); // gone even where its close fails
        return plan->fails(Call::Close) ? FALSE : closed;
    };
    return calls;
}

// Another process, this program started again with TALLYMERE_HOLD naming the file: it locks the
// file to read it, sets the event "tallymere-held" and holds the lock for 20 s at most.
Lift readByAnotherProcess(const fs::path& file)
{
    const HANDLE held = CreateEventW(nullptr, TRUE, FALSE, L"tallymere-held");
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    SetEnvironmentVariableW(L"TALLYMERE_HOLD", file.c_str());
    STARTUPINFOW start{};
    start.cb = sizeof start;
    PROCESS_INFORMATION holder{};
    EXPECT_TRUE(CreateProcessW(self, nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &start,
                               &holder));
    SetEnvironmentVariableW(L"TALLYMERE_HOLD", nullptr);
    EXPECT_EQ(WaitForSingleObject(held, 60000), WAIT_OBJECT_0) << "the other process held nothing";
    CloseHandle(held);
    return [holder] {
        TerminateProcess(holder.hProcess, 0);
        WaitForSingleObject(holder.hProcess, INFINITE);
        CloseHandle(holder.hProcess);
        CloseHandle(holder.hThread);
    };
}

std::vector<std::pair<std::uint32_t, FileFault>> systemFaults()
{
    return {{ERROR_ACCESS_DENIED, NoPermission},   {ERROR_WRITE_PROTECT, ReadOnlyDisk},
            {ERROR_PATH_NOT_FOUND, FolderMissing}, {ERROR_FILE_NOT_FOUND, FolderMissing},
            {ERROR_BAD_NETPATH, FolderMissing},    {ERROR_DISK_FULL, DiskFull},
            {ERROR_HANDLE_DISK_FULL, DiskFull},    {1295 /* quota */, QuotaUsed},
            {ERROR_FILE_TOO_LARGE, TooLarge},      {ERROR_SHARING_VIOLATION, InUse},
            {ERROR_LOCK_VIOLATION, InUse}};
}

std::vector<Outcome> systemOutcomes(const std::string&)
{
    return {};
}

} // namespace tallymere::testing

// The tests, or, started by readByAnotherProcess, the other process that holds the file.
int main(int argc, char* argv[])
{
    if (const wchar_t* held = _wgetenv(L"TALLYMERE_HOLD")) {
        const HANDLE file = CreateFileW(held, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, 0, nullptr);
        OVERLAPPED from{};
        if (LockFileEx(file, 0, 0, MAXDWORD, MAXDWORD, &from)) { // shared, as to read it
            SetEvent(OpenEventW(EVENT_MODIFY_STATE, FALSE, L"tallymere-held"));
            Sleep(20000);
        }
        return 0;
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

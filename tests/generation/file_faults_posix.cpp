#include "file_faults.h"
#include "system_calls_posix.h"

#include <cstddef>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <thread>

namespace tallymere::testing {

const std::uint32_t diskFull = ENOSPC, ioError = EIO, accessDenied = EACCES, openHeld = EBUSY,
                    lockHeld = EWOULDBLOCK;

void setSystemError(std::uint32_t code)
{
    errno = static_cast<int>(code);
}

std::shared_ptr<const SystemCalls> faultyCalls(const std::shared_ptr<Plan>& plan)
{
    const SystemCalls& real = systemCalls();
    const auto folder = std::make_shared<int>(-1); // opened to flush a new file's name
    const auto grow = [plan](Call call, int descriptor) {
        if (descriptor >= 0 && plan->grows(call)) {
            ::write(descriptor, line.data(), line.size());
        }
    };
    auto calls = std::make_shared<SystemCalls>(real);
    calls->open = [=, &real](const char* path, int flags, mode_t mode) {
        if ((flags & O_DIRECTORY) != 0) {
            return plan->fails(Call::FolderOpen) ? -1 : (*folder = real.open(path, flags, mode));
        }
        const Call call = (flags & O_EXCL) != 0 ? Call::OpenNew : Call::Open;
        const int opened = plan->fails(call) ? -1 : real.open(path, flags, mode);
        grow(Call::Open, opened);
        return opened;
    };
    calls->flock = unless(plan, Call::Lock, -1, real.flock);
    calls->lseek = unless(plan, Call::Size, off_t{-1}, real.lseek);
    calls->pread = unless(plan, Call::Head, ssize_t{-1}, real.pread);
    calls->write = [=, &real](int descriptor, const void* bytes, size_t size) -> ssize_t {
        grow(Call::Write, descriptor);
        const auto some = plan->written(size);
        return !some ? -1 : *some == 0 ? 0 : real.write(descriptor, bytes, *some);
    };
    calls->fsync = [=, &real](int descriptor) {
        grow(Call::Flush, descriptor);
        const Call call = descriptor == *folder ? Call::FolderFlush : Call::Flush;
        return plan->fails(call) ? -1 : real.fsync(descriptor);
    };
    calls->ftruncate = unless(plan, Call::Truncate, -1, real.ftruncate);
    calls->unlink = unless(plan, Call::Remove, -1, real.unlink);
    calls->close = [=, &real](int descriptor) {
        const int closed = real.close(descriptor); // a descriptor is gone even where close fails
        return plan->fails(Call::Close) ? -1 : closed;
    };
    return calls;
}

// Runs `append` in a thread of its own whose every fsync fails with EIO, as on a failing disk.
static std::optional<FileFailure>
withFlushesRefused(const std::function<std::optional<FileFailure>()>& append)
{
    sock_filter filter[] = {BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
                            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, SYS_fsync, 0, 1),
                            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ERRNO | EIO),
                            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW)};
    const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
    std::optional<FileFailure> failure;
    std::thread refused([&] { // the filter goes with the thread
        ASSERT_EQ(::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0), 0);
        ASSERT_EQ(::prctl(PR_SET_SECCOMP, SECCOMP_MODE_FILTER, &program), 0);
        failure = append();
    });
    refused.join();
    return failure;
}

Lift readByAnotherProcess(const fs::path& file)
{
    const int reading = ::open(file.c_str(), O_RDONLY);
    EXPECT_EQ(::flock(reading, LOCK_SH), 0);
    const pid_t holder = ::fork();
    if (holder == 0) {
        ::sleep(20);
        ::_exit(0);
    }
    ::close(reading); // the lock stays with the other process's copy
    return [holder] {
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
    };
}

std::vector<std::pair<std::uint32_t, FileFault>> systemFaults()
{
    return {{EACCES, NoPermission},  {EPERM, NoPermission},    {EROFS, ReadOnlyDisk},
            {ENOENT, FolderMissing}, {ENOTDIR, FolderMissing}, {EISDIR, FolderInTheWay},
            {ENOSPC, DiskFull},      {EDQUOT, QuotaUsed},      {EFBIG, TooLarge},
            {EBUSY, InUse},          {ETXTBSY, InUse},         {EWOULDBLOCK, InUse},
            {ENXIO, NotAFile}};
}

std::vector<Outcome> systemOutcomes(const std::string& earlier)
{
    // clang-format off
    return {
        {.name = "calls_that_wait_interrupted_once", .before = earlier, .inject = {{Lock, EINTR, 0, true}, {Head, EINTR, 0, true}, {Write, EINTR, 0, true}, {Flush, EINTR, 0, true}}, .after = earlier + sheet},
        {.name = "a_new_files_folder_interrupted_once", .inject = {{FolderFlush, EINTR, 0, true}}, .after = sheet},
        {.name = "a_folder_that_cannot_flush", .inject = {{FolderFlush, EINVAL}}, .after = sheet},
        {.name = "a_folder_that_cannot_open", .inject = {{FolderOpen, EACCES}}, .after = sheet},
        {.name = "a_folder_whose_flush_fails", .inject = {{FolderFlush, EIO}}, .step = Writing, .fault = Other, .holds = NoFile},
        {.name = "flush_refused_by_the_system", .before = earlier, .runIn = withFlushesRefused, .step = Writing, .fault = Other, .holds = WhatItHeld, .after = earlier},
        {.name = "device_in_the_files_place", .impose = [](const fs::path& file) -> Lift { fs::create_symlink("/dev/null", file); return [file] { fs::remove(file); }; }, .step = Opening, .fault = NotAFile, .holds = NothingOfTheSheet},
        {.name = "read_only_folder", .impose = [](const fs::path& file) -> Lift { return unwritable(file.parent_path()); }, .permission = true, .step = Opening, .fault = NoPermission, .holds = NothingOfTheSheet},
    };
    // clang-format on
}

} // namespace tallymere::testing

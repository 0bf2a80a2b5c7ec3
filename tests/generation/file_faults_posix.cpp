#include "file_faults.h"
#include "fixtures.h"
#include "generate_command.h"
#include "system_calls_posix.h"

#include <future>
#include <gtest/gtest.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <thread>

namespace tallymere::testing {

const std::uint32_t diskFull = ENOSPC, ioError = EIO, accessDenied = EACCES;

std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file)
{
    struct Made {
        std::string failed; // the calls that have failed
        int folder = -1;    // the folder opened to flush it
        bool wrote = false, wrotePart = false, grown = false;
    };
    const auto made = std::make_shared<Made>();
    const auto fails = [&row, made](char call) {
        if (row.failing.find(call) == std::string_view::npos ||
            (row.once && made->failed.find(call) != std::string::npos)) {
            return false;
        }
        made->failed += call;
        errno = static_cast<int>(row.code);
        return true;
    };
    const auto grow = [&row, made](char call, int descriptor) {
        if (row.grows == call && !std::exchange(made->grown, true)) {
            ::write(descriptor, line.data(), line.size());
        }
    };
    const auto held = [&clock](std::chrono::milliseconds time) {
        return clock.now() < Clock::TimePoint(time);
    };
    auto calls = std::make_shared<SystemCalls>();
    calls->open = [=, &row](const char* path, int flags, mode_t mode) {
        if ((flags & O_DIRECTORY) != 0) {
            return fails('D') ? -1 : (made->folder = ::open(path, flags, mode));
        }
        if (held(row.heldFor / 2)) {
            errno = EBUSY;
            return -1;
        }
        if (fails('o') || ((flags & O_EXCL) != 0 && fails('x'))) {
            return -1;
        }
        const int opened = ::open(path, flags, mode);
        if (opened >= 0) {
            grow('o', opened);
        }
        return opened;
    };
    calls->flock = [=, &row](int descriptor, int operation) {
        if (made->failed.find('n') == std::string::npos && fails('n')) {
            fs::remove(file); // as its maker does under its lock after a failure
        }
        if (held(row.heldFor)) {
            errno = EWOULDBLOCK;
            return -1;
        }
        return fails('l') ? -1 : ::flock(descriptor, operation);
    };
    calls->lseek = [=](int descriptor, off_t offset, int whence) {
        return fails(made->wrote ? 'r' : 's') ? -1 : ::lseek(descriptor, offset, whence);
    };
    calls->pread = [=](int descriptor, void* head, size_t size, off_t offset) {
        return fails('h') ? -1 : ::pread(descriptor, head, size, offset);
    };
    calls->write = [=, &row](int descriptor, const void* bytes, size_t size) -> ssize_t {
        grow('w', descriptor);
        made->wrote = true;
        if (!fails('w')) {
            return ::write(descriptor, bytes, size);
        }
        if (row.partly > 0 && !std::exchange(made->wrotePart, true)) {
            return ::write(descriptor, bytes, row.partly);
        }
        return row.code == 0 ? 0 : -1;
    };
    calls->fsync = [=](int descriptor) {
        grow('f', descriptor);
        return fails(descriptor == made->folder ? 'F' : 'f') ? -1 : ::fsync(descriptor);
    };
    calls->ftruncate = [=](int descriptor, off_t length) {
        return fails('t') ? -1 : ::ftruncate(descriptor, length);
    };
    calls->unlink = [=](const char* path) { return fails('d') ? -1 : ::unlink(path); };
    calls->close = [=](int descriptor) {
        const int closed = ::close(descriptor); // a descriptor is gone even where close fails
        return fails('c') ? -1 : closed;
    };
    return calls;
}

std::vector<Outcome> systemOutcomes(const std::string& earlier)
{
    const auto refused = [&earlier](const char* name, int code, FileFault fault) {
        return Outcome{name,    earlier,
                       earlier, toldBeforeWriting(fault),
                       "o",     static_cast<std::uint32_t>(code)};
    };
    using enum FileFault;
    return {
        refused("EACCES", EACCES, NoPermission),
        refused("EPERM", EPERM, NoPermission),
        refused("EROFS", EROFS, ReadOnlyDisk),
        refused("ENOENT", ENOENT, FolderMissing),
        refused("ENOTDIR", ENOTDIR, FolderMissing),
        refused("EISDIR", EISDIR, FolderInTheWay),
        refused("ENOSPC", ENOSPC, DiskFull),
        refused("EDQUOT", EDQUOT, QuotaUsed),
        refused("EFBIG", EFBIG, TooLarge),
        refused("EBUSY", EBUSY, InUse),
        refused("ETXTBSY", ETXTBSY, InUse),
        refused("EWOULDBLOCK", EWOULDBLOCK, InUse),
        refused("ENXIO", ENXIO, NotAFile),
        {"every_call_interrupted_once", earlier, earlier + sheet, "", "lhwf", EINTR, 0, ' ', true},
        {"a_new_files_folder_interrupted_once", {}, sheet, "", "F", EINTR, 0, ' ', true},
        {"a_folder_that_cannot_flush", {}, sheet, "", "F", EINVAL},
        {"a_folder_that_cannot_open", {}, sheet, "", "D", EACCES},
        {"a_folder_whose_flush_fails",
         {},
         {},
         "失败：Input/output error。没有留下文件。",
         "F",
         EIO},
    };
}

namespace {

// Another program's lock on the file.
Lift lockTheFile(const fs::path& file)
{
    const int holder = ::open(file.c_str(), O_RDONLY);
    ::flock(holder, LOCK_EX);
    return [holder] { ::close(holder); };
}

Lift deviceInTheFilesPlace(const fs::path& file)
{
    fs::remove(file);
    fs::create_symlink("/dev/null", file);
    return [file] { fs::remove(file); };
}

// A folder the user may not write to, with no sheet in it yet.
Lift readOnlyFolder(const fs::path& file)
{
    const fs::path folder = file.parent_path();
    fs::remove(file);
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::remove);
    return [folder] { fs::permissions(folder, fs::perms::owner_all); };
}

Lift readOnlyFile(const fs::path& file)
{
    fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    return [file] { fs::permissions(file, fs::perms::owner_write, fs::perm_options::add); };
}

// What a first sheet's run flushes (fsync, fdatasync), in order, as a seccomp listener sees each
// call of the run's thread before letting it go on.
std::vector<fs::path> flushesOfAFirstSheet(const TempFolder& temp)
{
    std::promise<int> listening;
    std::jthread run([&] {
        sock_filter filter[] = {
            BPF_STMT(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fsync, 1, 0),
            BPF_JUMP(BPF_JMP | BPF_JEQ | BPF_K, __NR_fdatasync, 0, 1),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_USER_NOTIF),
            BPF_STMT(BPF_RET | BPF_K, SECCOMP_RET_ALLOW),
        };
        const sock_fprog program{static_cast<unsigned short>(std::size(filter)), filter};
        ::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0);
        listening.set_value(static_cast<int>(::syscall(
            SYS_seccomp, SECCOMP_SET_MODE_FILTER, SECCOMP_FILTER_FLAG_NEW_LISTENER, &program)));
        EngineRandom random;
        form::generateCommand("10", "100", form::startOption, temp.text(), random);
    });
    const int listener = listening.get_future().get();
    std::vector<fs::path> flushed;
    seccomp_notif flush{};
    for (pollfd ready{listener, POLLIN, 0};
         ::poll(&ready, 1, 2000) == 1 && ::ioctl(listener, SECCOMP_IOCTL_NOTIF_RECV, &flush) == 0;
         flush = {}) {
        flushed.push_back(fs::read_symlink("/proc/" + std::to_string(flush.pid) + "/fd/" +
                                           std::to_string(flush.data.args[0])));
        seccomp_notif_resp goOn{flush.id, 0, 0, SECCOMP_USER_NOTIF_FLAG_CONTINUE};
        ::ioctl(listener, SECCOMP_IOCTL_NOTIF_SEND, &goOn);
    }
    ::close(listener);
    return flushed;
}

} // namespace

const std::vector<Fault>& fileFaults()
{
    using enum FileFault;
    static const std::vector<Fault> faults = {
        {"device_in_the_files_place", toldBeforeWriting(NotAFile), deviceInTheFilesPlace},
        {"read_only_folder", toldBeforeWriting(NoPermission), readOnlyFolder, false, false, true},
        {"read_only_file", toldBeforeWriting(ReadOnlyFile), readOnlyFile, false, false, true},
        {"locked_by_another_program", toldBeforeWriting(InUse), lockTheFile, true},
    };
    return faults;
}

// A first sheet is on the disk, name and all: its file is flushed, then the folder that names it.
TEST(Flush, ANewFileThenItsFolder)
{
    const TempFolder temp;
    EXPECT_EQ(flushesOfAFirstSheet(temp), (std::vector{temp.worksheet(), temp.path}));
}

// A run that removes the file it made leaves another that opened it meanwhile the lock, and a file
// without a name, so that the other makes the file anew rather than lose its sheet in it.
TEST(Concurrency, AFileItsMakerRemovedHasNoName)
{
    const TempFolder temp;
    const std::string path = worksheetPath(temp.text());
    PlatformFile maker;
    PlatformFile waiting;
    ASSERT_FALSE(maker.open(path) || maker.tryLock() || waiting.open(path));
    EXPECT_EQ(waiting.faultOf(waiting.tryLock()), FileFault::InUse);
    EXPECT_TRUE(maker.created() && !waiting.created() && maker.remove());
    maker.close();
    EXPECT_FALSE(waiting.tryLock());
    EXPECT_FALSE(waiting.isNamed() || fs::exists(temp.worksheet()));
}

} // namespace tallymere::testing

#include "file_faults.h"
#include "fixtures.h"
#include "system_calls_posix.h"

namespace tallymere::testing {

const std::uint32_t diskFull = ENOSPC, ioError = EIO, accessDenied = EACCES, openHeld = EBUSY,
                    lockHeld = EWOULDBLOCK;

void setSystemError(std::uint32_t code)
{
    errno = static_cast<int>(code);
}

std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file)
{
    const auto plan = std::make_shared<Plan>(row, clock);
    const auto folder = std::make_shared<int>(-1); // opened to flush a new file's name
    const auto grow = [plan](char call, int descriptor) {
        if (plan->grows(call)) {
            ::write(descriptor, line.data(), line.size());
        }
    };
    auto calls = std::make_shared<SystemCalls>();
    calls->open = [=](const char* path, int flags, mode_t mode) {
        if ((flags & O_DIRECTORY) != 0) {
            return plan->fails('D') ? -1 : (*folder = ::open(path, flags, mode));
        }
        const int opened =
            plan->refusesOpen((flags & O_EXCL) != 0) ? -1 : ::open(path, flags, mode);
        if (opened >= 0) {
            grow('o', opened);
        }
        return opened;
    };
    calls->flock = [=](int descriptor, int how) {
        return plan->refusesLock(file) ? -1 : ::flock(descriptor, how);
    };
    calls->lseek = [=](int descriptor, off_t offset, int from) {
        return plan->refusesSize() ? -1 : ::lseek(descriptor, offset, from);
    };
    calls->pread = unless(plan, 'h', ssize_t{-1}, ::pread);
    calls->write = [=](int descriptor, const void* bytes, size_t size) -> ssize_t {
        grow('w', descriptor);
        const auto some = plan->written(size);
        return !some ? -1 : *some == 0 ? 0 : ::write(descriptor, bytes, *some);
    };
    calls->fsync = [=](int descriptor) {
        grow('f', descriptor);
        return plan->fails(descriptor == *folder ? 'F' : 'f') ? -1 : ::fsync(descriptor);
    };
    calls->ftruncate = unless(plan, 't', -1, ::ftruncate);
    calls->unlink = unless(plan, 'd', -1, ::unlink);
    calls->close = [=](int descriptor) {
        const int closed = ::close(descriptor); // a descriptor is gone even where close fails
        return plan->fails('c') ? -1 : closed;
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
    // clang-format off
    return {
        refused("EACCES", EACCES, NoPermission), refused("EPERM", EPERM, NoPermission),
        refused("EROFS", EROFS, ReadOnlyDisk), refused("ENOENT", ENOENT, FolderMissing),
        refused("ENOTDIR", ENOTDIR, FolderMissing), refused("EISDIR", EISDIR, FolderInTheWay),
        refused("ENOSPC", ENOSPC, DiskFull), refused("EDQUOT", EDQUOT, QuotaUsed),
        refused("EFBIG", EFBIG, TooLarge), refused("EBUSY", EBUSY, InUse),
        refused("ETXTBSY", ETXTBSY, InUse), refused("EWOULDBLOCK", EWOULDBLOCK, InUse),
        refused("ENXIO", ENXIO, NotAFile),
        {"every_call_interrupted_once", earlier, earlier + sheet, "", "lhwf", EINTR, 0, ' ', true},
        {"a_new_files_folder_interrupted_once", {}, sheet, "", "F", EINTR, 0, ' ', true},
        {"a_folder_that_cannot_flush", {}, sheet, "", "F", EINVAL},
        {"a_folder_that_cannot_open", {}, sheet, "", "D", EACCES},
        {"a_folder_whose_flush_fails", {}, {}, "失败：Input/output error。没有留下文件。", "F", EIO},
        {.name = "device_in_the_files_place", .told = toldBeforeWriting(NotAFile),
            .impose = [](const fs::path& file) -> Lift {
                fs::create_symlink("/dev/null", file);
                return [file] { fs::remove(file); };
            }},
        {.name = "read_only_folder", .told = toldBeforeWriting(NoPermission),
            .impose = [](const fs::path& file) -> Lift {
                fs::permissions(file.parent_path(), fs::perms::owner_write, fs::perm_options::remove);
                return [file] { fs::permissions(file.parent_path(), fs::perms::owner_all); };
            }, .permission = true},
        {.name = "read_only_file", .before = earlier, .after = earlier,
            .told = toldBeforeWriting(ReadOnlyFile), .impose = [](const fs::path& file) -> Lift {
                fs::permissions(file, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove);
                return [file] { fs::permissions(file, fs::perms::owner_write, fs::perm_options::add); };
            }, .permission = true},
        {.name = "locked_by_another_program", .before = earlier, .after = earlier,
            .told = toldBeforeWriting(InUse), .impose = [](const fs::path& file) -> Lift {
                const int holder = ::open(file.c_str(), O_RDONLY);
                ::flock(holder, LOCK_EX);
                return [holder] { ::close(holder); };
            }},
    };
    // clang-format on
}

} // namespace tallymere::testing

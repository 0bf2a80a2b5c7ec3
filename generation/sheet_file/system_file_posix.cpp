#include "system_calls_posix.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tallymere {

namespace {

SystemError lastError()
{
    return {static_cast<std::uint32_t>(errno)};
}

int descriptor(std::intptr_t handle)
{
    return static_cast<int>(handle);
}

// Makes `call` again while a signal interrupts it; its last result.
template <typename Call> auto uninterrupted(Call call)
{
    auto result = call();
    while (result < 0 && errno == EINTR) {
        result = call();
    }
    return result;
}

SystemError flushed(const SystemCalls& calls, int descriptor)
{
    return uninterrupted([&] { return calls.fsync(descriptor); }) == 0 ? SystemError{}
                                                                       : lastError();
}

// A folder that cannot be opened, or a file system that cannot flush folders (EINVAL), leaves
// only the file's own flush, as SQLite does.
SystemError flushFolder(const SystemCalls& calls, const std::string& folder)
{
    const int held = calls.open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
    if (held < 0) {
        return {};
    }
    const SystemError error = flushed(calls, held);
    calls.close(held);
    return error.code == EINVAL ? SystemError{} : error;
}

} // namespace

const SystemCalls& systemCalls()
{
    static const SystemCalls calls;
    return calls;
}

std::optional<FileFault> PlatformFile::faultOf(SystemError error) const
{
    using enum FileFault;
    // ENXIO: a socket in the file's place, or a device without its driver.
    constexpr std::pair<int, FileFault> faults[] = {
        {EPERM, NoPermission},    {EROFS, ReadOnlyDisk},    {ENOENT, FolderMissing},
        {ENOTDIR, FolderMissing}, {EISDIR, FolderInTheWay}, {ENOSPC, DiskFull},
        {EDQUOT, QuotaUsed},      {EFBIG, TooLarge},        {EBUSY, InUse},
        {ETXTBSY, InUse},         {EWOULDBLOCK, InUse},     {ENXIO, NotAFile}};
    const auto code = static_cast<int>(error.code);
    if (code == EACCES) { // the file's own mark, not this user's rights: the same for any user
        struct stat status {};
        return calls_.stat(path_.c_str(), &status) == 0 && S_ISREG(status.st_mode) &&
                       (status.st_mode & S_IWUSR) == 0
                   ? ReadOnlyFile
                   : NoPermission;
    }
    const auto* found = std::ranges::find(faults, code, &std::pair<int, FileFault>::first);
    return found != std::end(faults) ? std::optional(found->second) : std::nullopt;
}

std::string PlatformFile::systemWords(SystemError error) const
{
    return std::strerror(static_cast<int>(error.code));
}

PlatformFile::~PlatformFile()
{
    if (handle_ >= 0) {
        calls_.close(descriptor(handle_));
    }
}

SystemError PlatformFile::open(const std::string& path)
{
    path_ = path;
    // Read too, for the file's first bytes. O_NONBLOCK: a device in the file's place, such as a
    // serial line waiting for its carrier, does not hold the run up; isDiskFile refuses it then.
    constexpr int flags = O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK;
    // Only a file of its own making may a failed run remove; O_EXCL tells. Whatever is in the way
    // of making one is for the plain open to report.
    handle_ = calls_.open(path.c_str(), flags | O_EXCL, 0666);
    created_ = handle_ >= 0;
    if (!created_) {
        handle_ = calls_.open(path.c_str(), flags, 0666);
    }
    return handle_ < 0 ? lastError() : SystemError{};
}

bool PlatformFile::isDiskFile() const
{
    struct stat status {};
    return calls_.fstat(descriptor(handle_), &status) == 0 && S_ISREG(status.st_mode);
}

SystemError PlatformFile::tryLock()
{
    const int locked =
        uninterrupted([this] { return calls_.flock(descriptor(handle_), LOCK_EX | LOCK_NB); });
    return locked == 0 ? SystemError{} : lastError();
}

bool PlatformFile::isNamed() const
{
    struct stat status {};
    return calls_.fstat(descriptor(handle_), &status) == 0 && status.st_nlink > 0;
}

std::pair<std::uint64_t, SystemError> PlatformFile::size() const
{
    const off_t end = calls_.lseek(descriptor(handle_), 0, SEEK_END);
    return end < 0 ? std::pair{std::uint64_t{0}, lastError()}
                   : std::pair{static_cast<std::uint64_t>(end), SystemError{}};
}

std::pair<std::size_t, SystemError> PlatformFile::readHead(std::span<char> head) const
{
    std::size_t read = 0;
    while (read < head.size()) {
        const ssize_t some = uninterrupted([&] {
            return calls_.pread(descriptor(handle_), head.data() + read, head.size() - read,
                                static_cast<off_t>(read));
        });
        if (some <= 0) {
            return {read, some < 0 ? lastError() : SystemError{}};
        }
        read += static_cast<std::size_t>(some);
    }
    return {read, {}};
}

std::pair<std::size_t, SystemError> PlatformFile::write(std::string_view bytes)
{
    const ssize_t written = uninterrupted(
        [&] { return calls_.write(descriptor(handle_), bytes.data(), bytes.size()); });
    if (written <= 0) {
        return {0, written < 0 ? lastError() : SystemError{EIO}}; // nothing written, and no reason
    }
    return {static_cast<std::size_t>(written), {}};
}

SystemError PlatformFile::flush()
{
    if (const SystemError error = flushed(calls_, descriptor(handle_))) {
        return error;
    }
    // A new file's name is in its folder, which a power cut can lose as much as the file's bytes;
    // SQLite syncs the folder too after making a file.
    return created_ ? flushFolder(calls_, path_.substr(0, path_.rfind('/') + 1)) : SystemError{};
}

bool PlatformFile::truncate(std::uint64_t length)
{
    return calls_.ftruncate(descriptor(handle_), static_cast<off_t>(length)) == 0;
}

// Under the lock; another run that opened the file and waits for the lock finds it nameless.
bool PlatformFile::remove()
{
    struct stat held {};
    struct stat named {};
    return calls_.fstat(descriptor(handle_), &held) == 0 &&
           calls_.stat(path_.c_str(), &named) == 0 && held.st_dev == named.st_dev &&
           held.st_ino == named.st_ino && calls_.unlink(path_.c_str()) == 0;
}

SystemError PlatformFile::close()
{
    const int closed = calls_.close(descriptor(handle_));
    handle_ = -1;
    return closed == 0 ? SystemError{} : lastError();
}

} // namespace tallymere

#include "file_failure.h"
#include "patience.h"
#include "sheet_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tallymere {

namespace {

std::optional<FileFault> faultOf(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return FileFault::NoPermission;
    case EROFS:
        return FileFault::ReadOnlyDisk;
    case ENOENT:
    case ENOTDIR:
        return FileFault::FolderMissing;
    case EISDIR:
        return FileFault::FolderInTheWay;
    case ENOSPC:
        return FileFault::DiskFull;
    case EDQUOT:
        return FileFault::QuotaUsed;
    case EFBIG:
        return FileFault::TooLarge;
    case EBUSY:
    case ETXTBSY:
    case EWOULDBLOCK:
        return FileFault::InUse;
    case ENXIO:
        return FileFault::NotAFile;
    default:
        return std::nullopt;
    }
}

std::string reasonText(int error)
{
    const auto fault = faultOf(error);
    return fault ? std::string(reasonText(*fault)) : std::strerror(error);
}

// Owns the descriptor, so that every way out of appendSheet closes it (and releases the lock).
class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    ~OpenFile()
    {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    int get() const { return descriptor_; }
    // Returns 0 or the error of closing.
    int close()
    {
        const int result = ::close(std::exchange(descriptor_, -1));
        return result == 0 ? 0 : errno;
    }

private:
    int descriptor_;
};

// Returns 0, or EWOULDBLOCK when another program has held the file for longer than a user
// would wait.
int lockExclusive(int descriptor)
{
    return retryWhileBusy(
        [descriptor] { return ::flock(descriptor, LOCK_EX | LOCK_NB) == 0 ? 0 : errno; },
        [](int error) { return error == EWOULDBLOCK || error == EINTR; }, lockPatience);
}

// Returns 0 or the error that stopped the write.
int writeAll(int descriptor, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return written < 0 ? errno : EIO;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return 0;
}

// Returns 0 once the bytes are on the disk, so that a reported success survives a power cut, or
// the error that kept them from it.
int writeToDisk(int descriptor, std::string_view bytes)
{
    if (const int error = writeAll(descriptor, bytes); error != 0) {
        return error;
    }
    while (::fsync(descriptor) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
}

} // namespace

void appendSheet(const std::string& path, std::string_view bytes)
{
    // O_NONBLOCK: a FIFO in the file's place fails at once instead of waiting for a reader.
    OpenFile file(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (file.get() < 0) {
        failOpen(path, reasonText(errno));
    }
    struct stat before {};
    if (const int error = lockExclusive(file.get()); error != 0) {
        failOpen(path, reasonText(error));
    }
    if (::fstat(file.get(), &before) != 0) {
        failOpen(path, reasonText(errno));
    }
    if (!S_ISREG(before.st_mode)) {
        failOpen(path, reasonText(ENXIO));
    }
    if (const int error = writeToDisk(file.get(), bytes); error != 0) {
        failWrite(path, reasonText(error), ::ftruncate(file.get(), before.st_size) == 0);
    }
    if (const int error = file.close(); error != 0) {
        // The lock is gone with the descriptor, so this cut-back is a best effort.
        failWrite(path, reasonText(error), ::truncate(path.c_str(), before.st_size) == 0);
    }
}

} // namespace tallymere

#include "sheet_file.h"
#include "worksheet_error.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace tallymere {

namespace {

std::string reasonText(int error)
{
    switch (error) {
    case EACCES:
    case EPERM:
        return "没有写入权限";
    case EROFS:
        return "所在的磁盘只能读取";
    case ENOENT:
    case ENOTDIR:
        return "所在的文件夹不存在";
    case EISDIR:
        return "同名的文件夹占用了这个位置";
    case ENOSPC:
        return "磁盘已满";
    case EDQUOT:
        return "磁盘配额已用完";
    case EFBIG:
        return "文件已达到允许的最大长度";
    case EBUSY:
    case ETXTBSY:
        return "文件正被其他程序使用";
    case ENXIO:
        return "它不是普通文件";
    default:
        return std::strerror(error);
    }
}

[[noreturn]] void failOpen(const std::string& path, int error)
{
    throw WorksheetError("无法打开文件“" + path + "”：" + reasonText(error) + "。");
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

int lockExclusive(int descriptor)
{
    while (::flock(descriptor, LOCK_EX) != 0) {
        if (errno != EINTR) {
            return errno;
        }
    }
    return 0;
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

[[noreturn]] void failWrite(const std::string& path, int error, bool restored)
{
    throw WorksheetError("写入文件“" + path + "”失败：" + reasonText(error) +
                         (restored ? "。文件保持原样。" : "，而且未能撤销写入了一半的内容。"));
}

} // namespace

std::string worksheetPath(std::string_view directory)
{
    return std::string(directory) + "/口算题.doc";
}

void appendSheet(const std::string& path, std::string_view bytes)
{
    // O_NONBLOCK: a FIFO in the file's place fails at once instead of waiting for a reader.
    OpenFile file(
        ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK, 0666));
    if (file.get() < 0) {
        failOpen(path, errno);
    }
    struct stat before {};
    if (const int error = lockExclusive(file.get()); error != 0) {
        failOpen(path, error);
    }
    if (::fstat(file.get(), &before) != 0) {
        failOpen(path, errno);
    }
    if (!S_ISREG(before.st_mode)) {
        failOpen(path, ENXIO);
    }
    if (const int error = writeAll(file.get(), bytes); error != 0) {
        failWrite(path, error, ::ftruncate(file.get(), before.st_size) == 0);
    }
    if (const int error = file.close(); error != 0) {
        // The lock is gone with the descriptor, so this cut-back is a best effort.
        failWrite(path, error, ::truncate(path.c_str(), before.st_size) == 0);
    }
}

} // namespace tallymere

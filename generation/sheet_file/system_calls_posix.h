#pragma once

#include "system_file.h"

#include <fcntl.h>
#include <functional>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tallymere {

// The POSIX calls a PlatformFile makes; each fails as the system does, with -1 and errno.
struct SystemCalls {
    std::function<int(const char*, int, mode_t)> open =
        [](const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); };
    std::function<int(int, int)> flock = ::flock;
    std::function<int(int, struct stat*)> fstat = ::fstat;
    std::function<int(const char*, struct stat*)> stat = ::stat;
    std::function<off_t(int, off_t, int)> lseek = ::lseek;
    std::function<ssize_t(int, void*, size_t, off_t)> pread = ::pread;
    std::function<ssize_t(int, const void*, size_t)> write = ::write;
    std::function<int(int)> fsync = ::fsync;
    std::function<int(int, off_t)> ftruncate = ::ftruncate;
    std::function<int(const char*)> unlink = ::unlink;
    std::function<int(int)> close = ::close;
};

} // namespace tallymere

#pragma once

#include "file_failure.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// What each system gives the worksheet file: a handful of calls on an open file, and what its
// error codes mean to a user. appendSheet builds the one way of appending a sheet from them.
namespace tallymere {

// An error as the system reports it (errno, GetLastError()); 0 for none.
struct SystemError {
    std::uint32_t code = 0;
    explicit operator bool() const { return code != 0; }
};

// The fault that a system error stands for, where it has plainer words than the system's own.
std::optional<FileFault> faultOf(SystemError error);
// The system's own words for an error, in the user's language.
std::string systemWords(SystemError error);

// An open file, closed when it goes.
class SystemFile {
public:
    SystemFile() = default;
    SystemFile(const SystemFile&) = delete;
    SystemFile& operator=(const SystemFile&) = delete;
    ~SystemFile();

    // For appending, created when missing; never waits for a pipe's reader.
    SystemError open(const std::string& path);
    // Whether open made the file, none being there before.
    bool created() const { return created_; }
    // False for a folder, a device or a pipe: anything that is not a file on a disk.
    bool isDiskFile() const;
    // An exclusive lock on the whole file; an error of FileFault::InUse at once when it is held.
    SystemError tryLock();
    // False once the file has lost its name: another run removed the file it had made while this
    // one waited for it.
    bool isNamed() const;
    std::pair<std::uint64_t, SystemError> size() const;
    // Reads the first bytes of the file into `head`, as many as it holds up to its size.
    std::pair<std::size_t, SystemError> readHead(std::span<char> head) const;
    // Writes some of `bytes` at the end of the file; how many, and the error that stopped it.
    std::pair<std::size_t, SystemError> write(std::string_view bytes);
    // Returns once everything written is on the disk, and the file's name too where open made it.
    SystemError flush();
    bool truncate(std::uint64_t length);
    // Removes the file that open made; false where it cannot, or where its path no longer names it.
    bool remove();
    void close();

private:
    std::intptr_t handle_ = -1; // a descriptor, or a HANDLE; -1 is neither
    bool created_ = false;
    std::string path_; // as open was given it
};

} // namespace tallymere

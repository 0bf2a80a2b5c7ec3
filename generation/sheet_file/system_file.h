#pragma once

#include "file_failure.h"
#include "patience.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// The worksheet file as each system gives it: a few calls on an open file, and what its errors mean.
namespace tallymere {

// The system's own calls, one replaceable entry each, so that a test can make any of them fail
// with a real error code (system_calls_posix.h, system_calls_win32.h).
struct SystemCalls;
const SystemCalls& systemCalls(); // the real ones

// An error as the system reports it (errno, GetLastError()); 0 for none.
struct SystemError {
    std::uint32_t code = 0;
    explicit operator bool() const { return code != 0; }
};

// A file, opened by open and closed when it goes; system_file_<system>.cpp gives its calls.
class PlatformFile {
public:
    explicit PlatformFile(const SystemCalls& calls = systemCalls()) : calls_(calls) {}
    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;
    ~PlatformFile();

    // For reading and appending, created when missing.
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
    SystemError close();

    // The fault that a system error stands for, where it has plainer words than the system's own.
    std::optional<FileFault> faultOf(SystemError error) const;
    // The system's own words for an error, in the user's language.
    std::string systemWords(SystemError error) const;

private:
    const SystemCalls& calls_;
    std::intptr_t handle_ = -1; // a descriptor, or a HANDLE; -1 is neither
    bool created_ = false;
    std::string path_; // as open was given it
};

// The one way a sheet is appended, over `file`, waiting by `clock`.
std::optional<FileFailure> appendSheet(PlatformFile& file, Clock& clock, const std::string& path,
                                       std::string_view bytes);

} // namespace tallymere

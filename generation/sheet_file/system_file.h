#pragma once

#include "file_failure.h"
#include "patience.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>

// What each system gives the worksheet file: a handful of calls on an open file, and what its
// error codes mean to a user. appendSheet builds the one way of appending a sheet from them; tests
// put calls of their own in their place.
namespace tallymere {

// An error as the system reports it (errno, GetLastError()); 0 for none.
struct SystemError {
    std::uint32_t code = 0;
    explicit operator bool() const { return code != 0; }
};

// A file, opened by open and closed when it goes.
class SystemFile {
public:
    virtual ~SystemFile() = default;

    // For reading and appending, created when missing; never waits for a pipe's reader.
    virtual SystemError open(const std::string& path) = 0;
    // Whether open made the file, none being there before.
    virtual bool created() const = 0;
    // False for a folder, a device or a pipe: anything that is not a file on a disk.
    virtual bool isDiskFile() const = 0;
    // An exclusive lock on the whole file; an error of FileFault::InUse at once when it is held.
    virtual SystemError tryLock() = 0;
    // False once the file has lost its name: another run removed the file it had made while this
    // one waited for it.
    virtual bool isNamed() const = 0;
    virtual std::pair<std::uint64_t, SystemError> size() const = 0;
    // Reads the first bytes of the file into `head`, as many as it holds up to its size.
    virtual std::pair<std::size_t, SystemError> readHead(std::span<char> head) const = 0;
    // Writes some of `bytes` at the end of the file; how many, and the error that stopped it.
    virtual std::pair<std::size_t, SystemError> write(std::string_view bytes) = 0;
    // Returns once everything written is on the disk, and the file's name too where open made it.
    virtual SystemError flush() = 0;
    virtual bool truncate(std::uint64_t length) = 0;
    // Removes the file that open made; false where it cannot, or where its path no longer names it.
    virtual bool remove() = 0;
    virtual SystemError close() = 0;

    // The fault that a system error stands for, where it has plainer words than the system's own.
    virtual std::optional<FileFault> faultOf(SystemError error) const = 0;
    // The system's own words for an error, in the user's language.
    virtual std::string systemWords(SystemError error) const = 0;
};

// The file of the system the program is built for; system_file_posix.cpp and
// system_file_win32.cpp give its calls.
class PlatformFile final : public SystemFile {
public:
    PlatformFile() = default;
    PlatformFile(const PlatformFile&) = delete;
    PlatformFile& operator=(const PlatformFile&) = delete;
    ~PlatformFile() override;

    SystemError open(const std::string& path) override;
    bool created() const override { return created_; }
    bool isDiskFile() const override;
    SystemError tryLock() override;
    bool isNamed() const override;
    std::pair<std::uint64_t, SystemError> size() const override;
    std::pair<std::size_t, SystemError> readHead(std::span<char> head) const override;
    std::pair<std::size_t, SystemError> write(std::string_view bytes) override;
    SystemError flush() override;
    bool truncate(std::uint64_t length) override;
    bool remove() override;
    SystemError close() override;
    std::optional<FileFault> faultOf(SystemError error) const override;
    std::string systemWords(SystemError error) const override;

private:
    std::intptr_t handle_ = -1; // a descriptor, or a HANDLE; -1 is neither
    bool created_ = false;
    std::string path_; // as open was given it
};

// The one way a sheet is appended, over `file`, waiting by `clock`; appendSheet(folder, bytes)
// gives it a PlatformFile and the steady clock.
std::optional<FileFailure> appendSheet(SystemFile& file, Clock& clock, std::string_view folder,
                                       std::string_view bytes);

} // namespace tallymere

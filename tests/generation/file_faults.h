#pragma once

#include "file_failure.h"
#include "patience.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The faults each system can put in a sheet's way: through its own calls, failing with its own
// codes, and for real.
namespace tallymere {
struct SystemCalls;
}

namespace tallymere::testing {

namespace fs = std::filesystem;
using Bytes = std::optional<std::string>; // nothing for no file

// What the user reads after the file's name when `fault` stops a run before it writes: what
// happened, that nothing was written, and what to do.
std::string toldBeforeWriting(FileFault fault);

// One outcome of an append, through the real file code over the system's calls, which fail as
// the row says.
struct Outcome {
    const char* name;
    Bytes before, after; // the file's bytes before the run and after it
    std::string told;    // in the message, after the file's name; "" for 生成成功
    // The calls that fail: o open, x the open that makes the file, l lock, s size, h the head's
    // read, w write, f flush, r the size after a write, t truncate, d removal, c close; D and F the
    // folder's open and flush where a system flushes a new file's folder; n: the file's maker
    // removes it just before the run's lock.
    std::string_view failing = "";
    std::uint32_t code = 0; // the system's code they fail with; 0: a write writes nothing, silently
    std::size_t partly = 0; // what the first failing write writes first
    char grows = ' ';       // another program appends a line at this call
    bool once = false;      // each call fails its first time only
    // How long another program holds the file: open waits half of it, the lock all of it.
    std::chrono::milliseconds heldFor{};
};

// The sheet every row appends, and the line of another program that appends without the lock.
inline const std::string sheet = "\r\nthe sheet\r\n", line = "another\r\n";
// This system's codes for a full disk, a fault it has no words for, and a refusal.
extern const std::uint32_t diskFull, ioError, accessDenied;
// This system's calls, failing as `row` says; another program holds the file until `clock` says.
std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file);
std::vector<Outcome> systemOutcomes(const std::string& earlier); // those of this system alone

using Lift = std::function<void()>;

// A fault made real, which the system's calls must turn into the right words.
struct Fault {
    const char* name;
    std::string told;                               // what the failure must tell the user
    Lift (*impose)(const fs::path& file) = nullptr; // after a first sheet
    bool holder = false;     // another program holds the file: the run gives up in time
    bool smallDisk = false;  // the run fills the disk with the longest sheet
    bool permission = false; // met only by a program without the power to override permissions
};

const std::vector<Fault>& fileFaults(); // those of this system alone

inline Lift noFile(const fs::path& file)
{
    fs::remove(file);
    return [] {};
}

inline Lift folderInTheFilesPlace(const fs::path& file)
{
    fs::remove(file);
    fs::create_directory(file);
    return [file] { fs::remove(file); };
}

} // namespace tallymere::testing

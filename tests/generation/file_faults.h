#pragma once

#include "file_failure.h"
#include "patience.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// The faults each system can put in a sheet's way: through its own calls, and for real.
namespace tallymere {
struct SystemCalls;
}

namespace tallymere::testing {

namespace fs = std::filesystem;
using Bytes = std::optional<std::string>; // nothing for no file

// What the user reads after the file's name when `fault` stops a run before it writes.
std::string toldBeforeWriting(FileFault fault);

using Lift = std::function<void()>;

// One outcome of an append, through the real file code over the system's calls, which fail as
// the row says, or over a fault made real.
struct Outcome {
    const char* name;
    Bytes before = {}, after = {}; // the file's bytes before the run and after it
    std::string told = {};         // in the message, after the file's name; "" for 生成成功
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
    Lift (*impose)(const fs::path& file) = nullptr; // a real fault, lifted after the run
    bool permission = false;   // met only by a program without the power to override permissions
    bool fillsTheDisk = false; // a long sheet on a 16 KiB disk that small_disk.sh mounts
};

// The sheet every row appends, and the line of another program that appends without the lock.
inline const std::string sheet = "\r\nthe sheet\r\n", line = "another\r\n";
// This system's codes: a full disk, an unnamed fault, a refusal, a held file at open and at lock.
extern const std::uint32_t diskFull, ioError, accessDenied, openHeld, lockHeld;
void setSystemError(std::uint32_t code); // errno, or SetLastError

// A row played out on the system's calls as the run makes them; each system's calls ask it.
class Plan {
public:
    Plan(const Outcome& row, Clock& clock) : row_(row), clock_(clock) {}

    // Whether `call` fails now, with the row's code.
    bool fails(char call)
    {
        if (row_.failing.find(call) == row_.failing.npos ||
            (row_.once && failed_.find(call) != failed_.npos)) {
            return false;
        }
        failed_ += call;
        setSystemError(row_.code);
        return true;
    }
    bool refusesOpen(bool making)
    {
        return held(row_.heldFor / 2, openHeld) || fails('o') || (making && fails('x'));
    }
    // The file's maker may remove it (n) just before the run's lock, where it is not held open.
    bool refusesLock(const fs::path& file)
    {
        if (failed_.find('n') == failed_.npos && fails('n')) {
            std::error_code held;
            fs::remove(file, held);
        }
        return held(row_.heldFor, lockHeld) || fails('l');
    }
    bool refusesSize() { return fails(wrote_ ? 'r' : 's'); }
    // Whether another program appends its line now, once.
    bool grows(char call) { return row_.grows == call && !std::exchange(grown_, true); }
    // How much of a write of `size` bytes goes to the file, or nothing where the write fails: the
    // row's part first, then nothing at all, silently where the row's code is 0.
    std::optional<std::size_t> written(std::size_t size)
    {
        wrote_ = true;
        if (!fails('w')) {
            return size;
        }
        if (row_.partly > 0 && !std::exchange(wrotePart_, true)) {
            return row_.partly;
        }
        return row_.code == 0 ? std::optional<std::size_t>(0) : std::nullopt;
    }

private:
    bool held(std::chrono::milliseconds time, std::uint32_t code)
    {
        const bool held = clock_.now() < Clock::TimePoint(time);
        if (held) {
            setSystemError(code);
        }
        return held;
    }

    const Outcome& row_;
    Clock& clock_;
    std::string failed_; // the calls that have failed
    bool wrote_ = false, wrotePart_ = false, grown_ = false;
};

// The real call, unless the plan fails `call`; then `failed`.
template <typename Result, typename Real>
auto unless(const std::shared_ptr<Plan>& plan, char call, Result failed, Real real)
{
    return [=](auto... arguments) { return plan->fails(call) ? failed : real(arguments...); };
}

// This system's calls, playing out `row`; another program holds the file until `clock` says.
std::shared_ptr<const SystemCalls> faultyCalls(const Outcome& row, Clock& clock,
                                               const fs::path& file);
std::vector<Outcome> systemOutcomes(const std::string& earlier); // those of this system alone

} // namespace tallymere::testing

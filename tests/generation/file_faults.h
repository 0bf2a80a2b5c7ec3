#pragma once

#include "system_file.h"

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <utility>
#include <vector>

// The faults each system can put in a sheet's way: through its own calls, and for real.
namespace tallymere::testing {

namespace fs = std::filesystem;
using Bytes = std::optional<std::string>; // nothing for no file
using Lift = std::function<void()>;

// The file's calls of the system. Open fails both opens, OpenNew the one that makes the file;
// SizeAfter is the size once the run has written; the folder's calls flush a new file's name.
// clang-format off
enum class Call { Open, OpenNew, Lock, Size, Head, Write, Flush, SizeAfter, Truncate, Remove, Close,
                  FolderOpen, FolderFlush };
// clang-format on
using enum Call;
using enum FileFault;
using enum FileHolds;
using enum FileStep;

// A call that fails with the system's code; a write with code 0 writes nothing and says nothing.
struct Inject {
    Call call;
    std::uint32_t code;
    std::size_t writesFirst = 0;       // a failing write writes this much first
    bool once = false;                 // its first time only, as a call a signal interrupts
    std::chrono::milliseconds until{}; // till the test's clock says: another program lets go
};

// One append through the real file code under the row's faults; no `fault`: the sheet is saved.
struct Outcome {
    const char* name;
    Bytes before = {};
    std::vector<Inject> inject = {};
    std::optional<Call> grows = {}; // another program appends `line` at this call, once
    bool makerRemoves = false;      // the file's maker removes it just before the run's lock
    Lift (*impose)(const fs::path& file) = nullptr; // a real fault, lifted after the run
    bool permission = false;   // met only by a program without the power to override permissions
    bool fillsTheDisk = false; // a long sheet on a 16 KiB disk that small_disk.sh mounts
    // Runs the append where the system itself fails a call; nullptr: here, as it is.
    std::optional<FileFailure> (*runIn)(const std::function<std::optional<FileFailure>()>&) = {};
    FileStep step = {};
    std::optional<FileFault> fault = {};
    FileHolds holds = {};
    Bytes after = {};
    friend void PrintTo(const Outcome& row, std::ostream* out) { *out << row.name; } // in failures
};

// The sheet every row appends, and the line of another program that appends without the lock.
inline const std::string sheet = "\r\nthe sheet\r\n", line = "another\r\n";
// This system's codes: a full disk, an unnamed fault, a refusal, a held file at open and at lock.
extern const std::uint32_t diskFull, ioError, accessDenied, openHeld, lockHeld;
void setSystemError(std::uint32_t code); // errno, or SetLastError

// Another program holds the file as Word does: the open is refused half the time, the lock all.
inline std::vector<Inject> heldFor(std::chrono::milliseconds time)
{
    return {{.call = Call::Open, .code = openHeld, .until = time / 2},
            {.call = Call::Lock, .code = lockHeld, .until = time}};
}

// A row played out on the system's calls as the run makes them; each system's calls ask it.
struct Plan {
    // The row's fault of `call` if it fails now (Open's fails OpenNew too), its error set.
    const Inject* fails(Call call)
    {
        call = call == Call::Size && wrote ? Call::SizeAfter : call;
        if (call == Call::Lock && row.makerRemoves && !std::exchange(removed, true)) {
            std::error_code held; // Windows keeps a file that another handle holds
            fs::remove(file, held);
        }
        for (const Inject& each : row.inject) {
            const bool over =
                (each.once && failed.contains(call)) ||
                (each.until.count() > 0 && clock.now() >= Clock::TimePoint(each.until));
            if ((each.call == call || (each.call == Call::Open && call == Call::OpenNew)) &&
                !over) {
                failed.insert(call);
                setSystemError(each.code);
                return &each;
            }
        }
        return nullptr;
    }
    // Whether another program appends its line now, once.
    bool grows(Call call) { return row.grows == call && !std::exchange(grown, true); }
    // The bytes a write of `size` writes: the row's part first, then none; nullopt where it fails.
    std::optional<std::size_t> written(std::size_t size)
    {
        wrote = true;
        const Inject* fault = fails(Call::Write);
        if (fault == nullptr) {
            return size;
        }
        if (fault->writesFirst > 0 && !std::exchange(wrotePart, true)) {
            return fault->writesFirst;
        }
        return fault->code == 0 ? std::optional<std::size_t>(0) : std::nullopt;
    }

    const Outcome& row;
    Clock& clock;
    const fs::path file;
    std::set<Call> failed = {};
    bool wrote = false, wrotePart = false, grown = false, removed = false;
};

// Takes away every write permission of `path` (on Windows: marks it read-only) until the lift.
inline Lift unwritable(const fs::path& path)
{
    constexpr auto write =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    fs::permissions(path, write, fs::perm_options::remove);
    return [path] { fs::permissions(path, fs::perms::owner_write, fs::perm_options::add); };
}

// The program's own call, unless the plan fails `call`; then `failed`.
template <typename Result, typename Real>
auto unless(const std::shared_ptr<Plan>& plan, Call call, Result failed, Real real)
{
    return [=](auto... arguments) { return plan->fails(call) ? failed : real(arguments...); };
}

// The program's own table of calls, each playing out the plan first.
std::shared_ptr<const SystemCalls> faultyCalls(const std::shared_ptr<Plan>& plan);
// Another process locks the file to read it, as a reader may, until the lift or for 20 s.
Lift readByAnotherProcess(const fs::path& file);
std::vector<std::pair<std::uint32_t, FileFault>>
systemFaults(); // the codes with words of their own
std::vector<Outcome> systemOutcomes(const std::string& earlier); // those of this system alone

} // namespace tallymere::testing

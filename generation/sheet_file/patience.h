#pragma once

#include <algorithm>
#include <chrono>

namespace tallymere {

// How long a run waits, to open and to lock together, for another program to let go of the
// worksheet file: long enough for any other Tallymere to append its sheet and for a virus scanner
// or an indexer to let go, and short of the 5 seconds after which Windows and some Linux desktops
// grey out a window that does not answer ("未响应").
inline constexpr std::chrono::milliseconds busyPatience{3500};

// What a wait is measured by: the steady clock, or a test's own.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepFor(std::chrono::steady_clock::duration duration) = 0;
};

// Calls `attempt` until it gives a result that `busy` does not reject, or until `deadline` has
// passed; returns the last result.
template <typename Attempt, typename Busy>
auto retryWhileBusy(Attempt attempt, Busy busy, Clock& clock, Clock::TimePoint deadline)
{
    for (;;) {
        auto result = attempt();
        const auto now = clock.now();
        if (!busy(result) || now >= deadline) {
            return result;
        }
        clock.sleepFor(std::min<std::chrono::steady_clock::duration>(std::chrono::milliseconds(10),
                                                                     deadline - now));
    }
}

} // namespace tallymere

#pragma once

#include <algorithm>
#include <chrono>

namespace tallymere {

// How long a run waits for another program to let go of the file: long enough for a virus scanner
// or another Tallymere, short of the 5 s after which a window that does not answer looks frozen.
inline constexpr std::chrono::milliseconds busyPatience{3500};

// What a wait is measured by: the steady clock, or a test's own.
class Clock {
public:
    using TimePoint = std::chrono::steady_clock::time_point;
    virtual ~Clock() = default;
    virtual TimePoint now() = 0;
    virtual void sleepFor(std::chrono::steady_clock::duration duration) = 0;
};

// Calls `attempt` until `busy` rejects its result no more or `deadline` passes; the last result.
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

#pragma once

#include <chrono>
#include <thread>

namespace tallymere {

// How long a run waits for another program to let go of the worksheet file: long enough for any
// other Tallymere to append its sheet, short enough that the window never seems frozen.
inline constexpr std::chrono::milliseconds lockPatience{5000};

// A virus scanner or an indexer often holds a file for a moment after it was written; another
// program that keeps it open (Word showing it) gets the "in use" message after this second.
inline constexpr std::chrono::milliseconds openPatience{1000};

// Calls `attempt` until it gives a result that `busy` does not reject, or until `patience` has
// passed; returns the last result.
template <typename Attempt, typename Busy>
auto retryWhileBusy(Attempt attempt, Busy busy, std::chrono::milliseconds patience)
{
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        auto result = attempt();
        if (!busy(result) || std::chrono::steady_clock::now() >= deadline) {
            return result;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace tallymere

#include "random_source.h"

#include <chrono>
#include <exception>

namespace tallymere {

void EngineRandom::reseed()
{
    // The clock ticks far faster than a user can click; the device tells apart two processes
    // started in the same tick.
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::uint32_t entropy = 0;
    try {
        entropy = device_();
    } catch (const std::exception&) { // the clock alone still separates runs
    }
    engine_.seed(ticks ^ entropy);
    spare_ = 0;
}

} // namespace tallymere

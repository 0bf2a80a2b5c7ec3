#include "random_source.h"

#include <chrono>
#include <exception>

namespace tallymere {

namespace {

std::uint32_t deviceEntropy()
{
    try {
        std::random_device device;
        return device();
    } catch (const std::exception&) {
        return 0; // the clock alone still separates runs
    }
}

} // namespace

void EngineRandom::reseed()
{
    // The clock ticks far faster than a user can click, and the device separates two processes
    // started in the same tick.
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    std::seed_seq seeds{static_cast<std::uint32_t>(ticks), static_cast<std::uint32_t>(ticks >> 32),
                        deviceEntropy(), deviceEntropy()};
    engine_.seed(seeds);
}

RandomSource& uniformRandom()
{
    static EngineRandom source;
    return source;
}

void reseedRandom()
{
    uniformRandom().reseed();
}

} // namespace tallymere

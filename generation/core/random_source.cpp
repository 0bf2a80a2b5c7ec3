#include "random_source.h"

#include <chrono>
#include <exception>

namespace tallymere {

namespace {

// SplitMix64, the stream that the authors of xoshiro give for filling its state from one number.
std::uint64_t splitMix(std::uint64_t& seed)
{
    std::uint64_t z = (seed += 0x9E3779B97F4A7C15u);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
    return z ^ (z >> 31);
}

} // namespace

void EngineRandom::start(std::uint64_t seed)
{
    for (std::size_t word = 0; word < state_.size(); word += 2) {
        const std::uint64_t bits = splitMix(seed);
        state_[word] = static_cast<std::uint32_t>(bits);
        state_[word + 1] = static_cast<std::uint32_t>(bits >> 32);
    }
    if (state_ == std::array<std::uint32_t, 4>{}) {
        state_[0] = 1; // the one state the generator never leaves
    }
}

std::uint32_t EngineRandom::deviceEntropy()
{
    try {
        return device_();
    } catch (const std::exception&) {
        return 0; // the clock alone still separates runs
    }
}

void EngineRandom::reseed()
{
    // The clock ticks far faster than a user can click, and the device separates two processes
    // started in the same tick.
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t entropy = std::uint64_t{deviceEntropy()} << 32 | deviceEntropy();
    start(ticks ^ entropy);
}

} // namespace tallymere

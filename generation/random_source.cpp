#include "random_source.h"

#include <chrono>
#include <exception>

namespace tallymere {

namespace {

std::uint32_t deviceEntropy()
{
    try {
        // Opening the device costs more than the rest of a run, so it stays open.
        static std::random_device device;
        return device();
    } catch (const std::exception&) {
        return 0; // the clock alone still separates runs
    }
}

// Spreads a few seed words over the engine's whole state. It does what std::seed_seq does for
// std::mt19937::seed, at a tenth of the cost, which matters because every run reseeds.
class SplitMixSeeds {
public:
    using result_type = std::uint32_t;

    explicit SplitMixSeeds(std::uint64_t seed) : state_(seed) {}

    template <typename Iterator> void generate(Iterator begin, Iterator end)
    {
        for (; begin != end; ++begin) {
            *begin = static_cast<result_type>(nextWord() >> 32);
        }
    }

private:
    std::uint64_t nextWord()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15u);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9u;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBu;
        return z ^ (z >> 31);
    }

    std::uint64_t state_;
};

} // namespace

void EngineRandom::reseed()
{
    // The clock ticks far faster than a user can click, and the device separates two processes
    // started in the same tick.
    const auto ticks = static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
    const std::uint64_t entropy = std::uint64_t{deviceEntropy()} << 32 | deviceEntropy();
    SplitMixSeeds seeds(ticks ^ entropy);
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

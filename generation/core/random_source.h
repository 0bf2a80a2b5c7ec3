#pragma once

#include <array>
#include <cstdint>
#include <random>

namespace tallymere {

// Where problem drawing takes its chance from. The program makes one when it starts and passes it
// to every run; tests put their own in its place.
class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A single-precision value r with 0 <= r < 1.
    virtual float next() = 0;
    // Starts a sequence that differs from those of runs started at other times.
    virtual void reseed() = 0;
};

// Keeps only the top 24 bits, which a float holds exactly, so the value can never round up to 1
// (std::generate_canonical<float> can).
constexpr float unitFromBits(std::uint32_t bits)
{
    return static_cast<float>(bits >> 8) * 0x1p-24f;
}

// xoshiro128** (Blackman and Vigna): four words of state, so the reseed at the start of every run
// costs next to nothing, where refilling and twisting a Mersenne Twister's 2.5 KB took a fifth of
// the run.
class EngineRandom final : public RandomSource {
public:
    explicit EngineRandom(std::uint64_t seed = 1) { start(seed); }

    float next() override { return unitFromBits(nextBits()); }
    void reseed() override;

private:
    static constexpr std::uint32_t rotateLeft(std::uint32_t bits, int by)
    {
        return (bits << by) | (bits >> (32 - by));
    }

    std::uint32_t nextBits()
    {
        const std::uint32_t result = rotateLeft(state_[1] * 5, 7) * 9;
        const std::uint32_t shifted = state_[1] << 9;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= shifted;
        state_[3] = rotateLeft(state_[3], 11);
        return result;
    }

    void start(std::uint64_t seed);
    std::uint32_t deviceEntropy();

    std::array<std::uint32_t, 4> state_;
    // Opened once: opening it costs more than the rest of a run.
    std::random_device device_;
};

} // namespace tallymere

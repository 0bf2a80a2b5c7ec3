#pragma once

#include <cstdint>
#include <random>

namespace tallymere {

// Where problem drawing takes its chance from. Tests script it; the program uses one engine.
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

class EngineRandom final : public RandomSource {
public:
    explicit EngineRandom(std::uint32_t seed = std::mt19937::default_seed) : engine_(seed) {}

    float next() override { return unitFromBits(static_cast<std::uint32_t>(engine_())); }
    void reseed() override;

private:
    std::mt19937 engine_;
};

// The process-wide source.
RandomSource& uniformRandom();
void reseedRandom();

} // namespace tallymere

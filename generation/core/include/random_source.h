#pragma once

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

// The standard library's 64-bit Mersenne Twister, reseeded from the clock and the system's entropy.
class EngineRandom final : public RandomSource {
public:
    explicit EngineRandom(std::uint64_t seed = 1) : engine_(seed) {}

    // 24 bits a draw, which a float holds exactly, so that r never rounds up to 1 as
    // std::generate_canonical<float> can; two draws from each word, as the engine's step is most
    // of what drawing a problem costs.
    float next() override
    {
        if (spare_ == 0) {
            word_ = engine_();
            spare_ = 2;
        }
        return static_cast<float>(word_ >> (32 * --spare_ + 8) & 0xFFFFFF) * 0x1p-24f;
    }
    void reseed() override;

private:
    std::mt19937_64 engine_;
    std::uint64_t word_ = 0;
    int spare_ = 0; // draws left in word_
    std::random_device device_; // opened once: opening it costs more than a run
};

} // namespace tallymere

#pragma once

#include "generation/random_source.h"

#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

namespace tallymere::testing {

// The largest value a source may give.
inline const float highestDraw = std::nextafter(1.0f, 0.0f);

// Gives the draws it was handed, in order; reseeding changes nothing.
class ScriptedRandom final : public RandomSource {
public:
    explicit ScriptedRandom(std::vector<float> draws) : draws_(std::move(draws)) {}

    float next() override
    {
        if (used_ == draws_.size()) {
            throw std::logic_error("more draws taken than scripted");
        }
        return draws_[used_++];
    }
    void reseed() override {}
    std::size_t used() const { return used_; }

private:
    std::vector<float> draws_;
    std::size_t used_ = 0;
};

// The program's engine, started from a fixed seed on every reseed, so a failing case repeats.
class SeededRandom final : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : seed_(seed), engine_(seed) {}

    float next() override { return engine_.next(); }
    void reseed() override { engine_ = EngineRandom(seed_); }

private:
    std::uint64_t seed_;
    EngineRandom engine_;
};

} // namespace tallymere::testing

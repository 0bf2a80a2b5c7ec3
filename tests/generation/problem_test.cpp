#include "generation/problem.h"
#include "support/scripted_random.h"

#include <array>
#include <gtest/gtest.h>
#include <string>

namespace tallymere {
namespace {

using testing::highestDraw;
using testing::ScriptedRandom;

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;

struct Drawing {
    const char* name;
    DifficultyMode mode;
    double range;
    std::vector<float> draws; // a, op1, op2, b, then c for ChainedSteps
    Problem expected;
};

class DrawProblemTest : public ::testing::TestWithParam<Drawing> {};

TEST_P(DrawProblemTest, PinsEachBoundAtTheExtremeDraws)
{
    const Drawing& drawing = GetParam();
    ScriptedRandom random(drawing.draws);
    const Problem problem = drawProblem(drawing.mode, drawing.range, random);
    EXPECT_EQ(problem.a, drawing.expected.a);
    EXPECT_EQ(problem.op1, drawing.expected.op1);
    EXPECT_EQ(problem.b, drawing.expected.b);
    if (drawing.mode == chained) {
        EXPECT_EQ(problem.op2, drawing.expected.op2);
        EXPECT_EQ(problem.c, drawing.expected.c);
    }
    EXPECT_EQ(random.used(), drawing.draws.size());
}

const float top = highestDraw;

const Drawing drawings[] = {
    // SingleStep within 10
    {"single_plus_first_operand_stops_below_range", single, 10, {top, 0, 0, 0}, {9, 0, 0, '+'}},
    {"single_plus_reaches_range", single, 10, {top, 0, 0, top}, {9, 1, 0, '+'}},
    {"single_plus_from_zero_reaches_range", single, 10, {0, 0, 0, top}, {0, 10, 0, '+'}},
    {"single_minus_down_to_zero", single, 10, {top, top, 0, top}, {9, 9, 0, '-'}},
    {"single_minus_takes_nothing", single, 10, {top, top, top, 0}, {9, 0, 0, '-'}},
    {"single_sign_flips_at_one_half", single, 10, {0, 0.5f, 0, 0}, {0, 0, 0, '-'}},
    {"single_sign_below_one_half", single, 10, {0, 0.49999997f, 0, 0}, {0, 0, 0, '+'}},
    // ChainedSteps within 10
    {"chained_plus_has_no_plus_one", chained, 10, {0, 0, 0, top, 0}, {0, 9, 0, '+', '+'}},
    {"chained_plus_from_largest_first", chained, 10, {top, 0, 0, top, 0}, {9, 0, 0, '+', '+'}},
    {"chained_plus_plus_reaches_range", chained, 10, {0, 0, 0, top, top}, {0, 9, 1, '+', '+'}},
    {"chained_plus_minus_down_to_zero", chained, 10, {0, 0, top, top, top}, {0, 9, 9, '+', '-'}},
    {"chained_minus_minus_down_to_zero",
     chained,
     10,
     {top, top, top, top, top},
     {9, 9, 0, '-', '-'}},
    {"chained_minus_minus_takes_rest", chained, 10, {top, top, top, 0, top}, {9, 0, 9, '-', '-'}},
    {"chained_minus_plus_reaches_range", chained, 10, {top, top, 0, 0, top}, {9, 0, 1, '-', '+'}},
    {"chained_minus_plus_from_zero", chained, 10, {0, top, 0, top, top}, {0, 0, 10, '-', '+'}},
    // Small, negative and fractional ranges
    {"range_one_first_operand_zero", single, 1, {top, 0, 0, top}, {0, 1, 0, '+'}},
    {"range_one_chained_plus_adds_zero", chained, 1, {top, 0, 0, top, top}, {0, 0, 1, '+', '+'}},
    {"range_zero_single", single, 0, {top, 0, 0, top}, {0, 0, 0, '+'}},
    {"range_zero_chained", chained, 0, {top, top, 0, top, top}, {0, 0, 0, '-', '+'}},
    {"negative_range_reaches_it", single, -10, {top, 0, 0, top}, {-10, 0, 0, '+'}},
    {"negative_range_minus", single, -10, {0.5f, top, 0, top}, {-5, -4, 0, '-'}},
    {"fractional_range_not_rounded", single, 10.5, {top, 0, 0, top}, {10, 1, 0, '+'}},
};

INSTANTIATE_TEST_SUITE_P(ScriptedDraws, DrawProblemTest, ::testing::ValuesIn(drawings),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DrawProblem, SpreadsSignsAndFirstOperandsEvenly)
{
    constexpr int range = 10;
    constexpr int draws = 100000;
    EngineRandom random(20101113);
    int plusFirst = 0;
    int plusSecond = 0;
    std::array<int, range> firstOperands{};
    for (int i = 0; i < draws; ++i) {
        const Problem problem = drawProblem(DifficultyMode::ChainedSteps, range, random);
        plusFirst += problem.op1 == '+';
        plusSecond += problem.op2 == '+';
        ASSERT_GE(problem.a, 0);
        ASSERT_LT(problem.a, range);
        ++firstOperands[static_cast<std::size_t>(problem.a)];
    }
    EXPECT_NEAR(plusFirst, draws / 2, draws / 100);
    EXPECT_NEAR(plusSecond, draws / 2, draws / 100);
    for (int value = 0; value < range; ++value) {
        EXPECT_NEAR(firstOperands[value], draws / range, draws / 100) << "a = " << value;
    }
}

TEST(RandomSource, KeepsTheTopBitsBelowOne)
{
    EXPECT_EQ(unitFromBits(0), 0.0f);
    EXPECT_EQ(unitFromBits(0x000000FFu), 0.0f);
    EXPECT_EQ(unitFromBits(0x80000000u), 0.5f);
    EXPECT_EQ(unitFromBits(0xFFFFFFFFu), highestDraw);
    EXPECT_LT(unitFromBits(0xFFFFFFFFu), 1.0f);
}

TEST(RandomSource, ReseedingStartsAnotherSequence)
{
    EngineRandom first;
    EngineRandom second;
    first.reseed();
    second.reseed();
    std::array<float, 8> firstDraws;
    std::array<float, 8> secondDraws;
    for (std::size_t i = 0; i < firstDraws.size(); ++i) {
        firstDraws[i] = first.next();
        secondDraws[i] = second.next();
    }
    EXPECT_NE(firstDraws, secondDraws);
}

} // namespace
} // namespace tallymere

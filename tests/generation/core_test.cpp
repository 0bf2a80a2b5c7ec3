#include "generation/leading_number.h"
#include "generation/worksheet.h"
#include "generation/worksheet_error.h"
#include "support/fixtures.h"
#include "support/sheet_oracle.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>

namespace tallymere {
namespace {

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;
const float top = std::nextafter(1.0f, 0.0f); // the highest draw there is

// Texts that a general number parser (strtod, std::stod, QString::toDouble) reads otherwise.
TEST(LeadingNumber, ReadsOnlyTheNumberAtTheStart)
{
    // clang-format off
    const std::pair<std::string, double> readings[] = {
        {"15以内", 15}, {"-5", -5}, {"1e5", 1}, {"0x10", 0}, {"inf", 0}, {"nan", 0}, {"1 000", 1},
        {".5", 0.5}, {"+-5", 0}, {"\u3000１２", 12}, {"－３", -3}, {"5。5", 5}, {"\u200B5", 0},
        {"\u00A0\u2009\u205F20", 20}, {std::string(400, '9'), HUGE_VAL}};
    // clang-format on
    for (const auto& [text, value] : readings) {
        EXPECT_EQ(leadingNumber(text), value) << text;
    }
    EXPECT_EQ(displayText(-1e20), "-100000000000000000000"); // never an exponent
}

// The highest draws reach each bound: the only way to tell a narrower one. Draws: a, op1, op2, b,
// c.
TEST(DrawProblem, ReachesEachBoundAtTheExtremeDraws)
{
    const std::tuple<DifficultyMode, double, std::vector<float>, std::string> drawings[] = {
        {single, 10, {top, 0, 0, top}, "9+1"},
        {single, 10, {top, top, 0, top}, "9-9"},
        {single, 10, {0, 0.5f, 0, 0}, "0-0"},
        {chained, 10, {0, 0, 0, top, 0}, "0+9+0"}, // no +1 after a chained "+"
        {chained, 10, {0, 0, 0, top, top}, "0+9+1"},
        {chained, 10, {0, 0, top, top, top}, "0+9-9"},
        {chained, 10, {top, top, top, top, top}, "9-9-0"},
        {chained, 10, {top, top, top, 0, top}, "9-0-9"},
        {chained, 10, {0, top, 0, top, top}, "0-0+10"},
    };
    for (const auto& [mode, range, draws, problem] : drawings) {
        testing::ScriptedRandom random(draws);
        const std::string cell = formatCell(1, drawProblem(mode, range, random), mode);
        EXPECT_EQ(cell.substr(5, problem.size() + 1), problem + "=") << cell;
        EXPECT_EQ(random.used, draws.size()) << problem;
    }
}

TEST(DrawProblem, SpreadsSignsAndFirstOperandsEvenly)
{
    constexpr int draws = 100000;
    EngineRandom random(20101113);
    std::array<int, 12> counts{}; // a = 0 .. 9, then "+" first and second
    for (int i = 0; i < draws; ++i) {
        const Problem problem = drawProblem(chained, 10, random);
        ++counts.at(static_cast<std::size_t>(problem.a));
        counts[10] += problem.op1 == '+';
        counts[11] += problem.op2 == '+';
    }
    for (std::size_t i = 0; i < counts.size(); ++i) {
        EXPECT_NEAR(counts[i], i < 10 ? draws / 10 : draws / 2, draws / 100) << i;
    }
}

class RunTest : public ::testing::Test {
protected:
    std::string run(const WorksheetSettings& settings, RandomSource& random = uniformRandom())
    {
        // On Windows through the long-path prefix, after which "/" is no separator.
        const std::string prefix =
            std::filesystem::path::preferred_separator == '\\' ? "\\\\?\\" : "";
        generateWorksheet(settings, prefix + folder.text(), notice, random);
        return testing::fileBytes(folder.worksheet());
    }

    testing::TempFolder folder;
    testing::RecordingNotice notice;
};

TEST_F(RunTest, WritesTheExactBytesOfAFourProblemSheet)
{
    testing::ScriptedRandom random(
        {0, 0, 0, 0, top, top, 0, top, 0.5f, 0, 0, 0.5f, 0.25f, 0.75f, 0, 0.5f});
    EXPECT_EQ(
        run({"10", "4", single}, random),
        "\r\n" + std::string(testing::mottoGbk) + "\r\n\r\n" +
            "(1)  0+0=          (2)  9-9=          (3)  5+3=          (4)  2-1=          \r\n");
    EXPECT_EQ(notice.messages, std::vector<std::string>{std::string(completionMessage)});
}

// Every run appends one whole sheet after the earlier ones; a count past 999 writes nothing.
TEST_F(RunTest, EverySettingAppendsAWholeSheet)
{
    const std::pair<const char*, int> counts[] = {{"0", 0},     {"-5", 0},   {"1", 1},
                                                  {"8", 8},     {"10", 10},  {"10.5", 10},
                                                  {"999", 999}, {"1000", -1}};
    std::string before;
    for (const char* range : {"abc", "-0", "1", "10", "100", "10000", "-10", "10.5", "１０"}) {
        for (const auto mode : {single, chained}) {
            for (const auto& [count, problems] : counts) {
                if (problems < 0) {
                    EXPECT_THROW(run({range, count, mode}), WorksheetError);
                    continue;
                }
                const std::string after = run({range, count, mode});
                ASSERT_EQ(after.substr(0, before.size()), before);
                ASSERT_EQ(testing::worksheetFault(after.substr(before.size()), 1,
                                                  {problems, leadingNumber(range), mode}),
                          "")
                    << "range " << range << ", count " << count;
                before = after;
            }
        }
    }
}

// Two processes started with the same settings must not give the same drill.
TEST_F(RunTest, EveryRunDrawsAFreshSequence)
{
    EngineRandom firstProcess;
    EngineRandom secondProcess;
    const std::string first = run({"10", "100", single}, firstProcess);
    EXPECT_NE(run({"10", "100", single}, secondProcess).substr(first.size()), first);
}

} // namespace
} // namespace tallymere

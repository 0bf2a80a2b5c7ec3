#include "generation/run.h"
#include "support/recording_notice.h"
#include "support/scripted_random.h"
#include "support/temp_folder.h"
#include "support/worksheet_reader.h"

#include <gtest/gtest.h>
#include <string>
#include <tuple>

namespace tallymere {
namespace {

using testing::fileBytes;
using testing::readWorksheets;

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;

class GenerateWorksheetTest : public ::testing::Test {
protected:
    std::vector<testing::ReadSheet> generate(const WorksheetSettings& settings,
                                             RandomSource& random = uniformRandom())
    {
        generateWorksheet(settings, folder.text(), notice, random);
        return readWorksheets(fileBytes(folder.worksheet()));
    }

    testing::TempFolder folder;
    testing::RecordingNotice notice;
};

TEST_F(GenerateWorksheetTest, WritesTheExactBytesOfAFourProblemSheet)
{
    const float top = testing::highestDraw;
    // a, op1, op2, b for each problem
    testing::ScriptedRandom random(
        {0, 0, 0, 0, top, top, 0, top, 0.5f, 0, 0, 0.5f, 0.25f, 0.75f, 0, 0.5f});
    generateWorksheet({"10", "4", single}, folder.text(), notice, random);

    const std::string expected = "\r\n" + std::string(testing::mottoGbk) + "\r\n\r\n" +
                                 "(1)  0+0=          (2)  9-9=          "
                                 "(3)  5+3=          (4)  2-1=          \r\n";
    EXPECT_EQ(expected.size(), 107u);
    EXPECT_EQ(fileBytes(folder.worksheet()), expected);
    EXPECT_EQ(notice.messages, std::vector<std::string>{std::string(completionMessage)});
}

TEST_F(GenerateWorksheetTest, StartValuesGiveAHundredProblemsWithinTen)
{
    const auto sheets = generate({"10", "100", single});
    ASSERT_EQ(sheets.size(), 1u);
    EXPECT_EQ(sheets[0].rows.size(), 25u);
    EXPECT_EQ(testing::layoutFault(sheets[0], 100, single), "");
    EXPECT_EQ(testing::rangeFault(sheets[0], 10, single), "");
}

TEST_F(GenerateWorksheetTest, EveryRunAppendsAWholeSheetAfterTheEarlierOnes)
{
    generate({"20", "10", single});
    const std::string first = fileBytes(folder.worksheet());
    const auto sheets = generate({"100", "7", chained});

    EXPECT_EQ(fileBytes(folder.worksheet()).substr(0, first.size()), first);
    ASSERT_EQ(sheets.size(), 2u);
    EXPECT_EQ(testing::layoutFault(sheets[0], 10, single), "");
    EXPECT_EQ(testing::layoutFault(sheets[1], 7, chained), "");
    EXPECT_EQ(notice.messages.size(), 2u);
}

TEST_F(GenerateWorksheetTest, EverySpellingOfTheFolderReachesItsFile)
{
    const std::string spellings[] = {
        folder.text() + "/", // the separator at its end is kept
#ifdef _WIN32
        "\\\\?\\" + folder.text(), // the long-path prefix, after which "/" is no separator
#endif
    };
    for (const std::string& spelling : spellings) {
        generateWorksheet({"10", "1", single}, spelling, notice);
    }
    EXPECT_EQ(readWorksheets(fileBytes(folder.worksheet())).size(), std::size(spellings));
}

// Every sheet the reader gets back is laid out right, and, for whole ranges of 1 and more, every
// problem stays within its range.
class ManySheetsTest
    : public GenerateWorksheetTest,
      public ::testing::WithParamInterface<std::tuple<const char*, DifficultyMode>> {};

TEST_P(ManySheetsTest, KeepLayoutAndBounds)
{
    const auto [rangeText, mode] = GetParam();
    const double range = std::stod(rangeText);
    const bool wholeRange = range >= 1 && range == static_cast<long>(range);
    const std::pair<const char*, int> counts[] = {
        {"0", 0},   {"-5", 0},    {"abc", 0},         {"0.9", 0},   {"1", 1},      {"8", 8},
        {"10", 10}, {"10.5", 10}, {"\u3000１２", 12}, {"999", 999}, {"999.9", 999}};
    for (const auto& [countText, count] : counts) {
        for (const std::uint32_t seed : {1u, 2u}) {
            SCOPED_TRACE(std::string("count ") + countText + ", seed " + std::to_string(seed));
            testing::SeededRandom random(seed);
            const auto sheets = generate({rangeText, countText, mode}, random);
            EXPECT_EQ(testing::layoutFault(sheets.back(), count, mode), "");
            if (wholeRange) {
                EXPECT_EQ(testing::rangeFault(sheets.back(), range, mode), "");
            }
        }
    }
    EXPECT_EQ(notice.messages.size(), 2 * std::size(counts));
}

INSTANTIATE_TEST_SUITE_P(Ranges, ManySheetsTest,
                         ::testing::Combine(::testing::Values("0", "1", "2", "10", "20", "100",
                                                              "1000", "10000", "0.5", "10.5", "-0",
                                                              "-10", "-1000"),
                                            ::testing::Values(single, chained)),
                         [](const auto& info) {
                             std::string name = std::get<0>(info.param);
                             for (char& c : name) {
                                 c = c == '-' ? 'm' : c == '.' ? 'p' : c;
                             }
                             return name +
                                    (std::get<1>(info.param) == single ? "_single" : "_chained");
                         });

TEST_F(GenerateWorksheetTest, RangeZeroGivesOnlyZeros)
{
    for (const char* rangeText : {"abc", "-0"}) {
        for (const auto mode : {single, chained}) {
            const auto sheets = generate({rangeText, "40", mode});
            for (const auto& row : sheets.back().rows) {
                for (const auto& cell : row) {
                    for (const double operand : cell.operands) {
                        EXPECT_EQ(operand, 0) << rangeText << ", problem " << cell.number;
                    }
                }
            }
        }
    }
}

} // namespace
} // namespace tallymere

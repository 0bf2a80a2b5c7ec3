#include "fixtures.h"
#include "leading_number.h"
#include "messages.h"
#include "run.h"
#include "sheet_oracle.h"
#include "worksheet.h"

#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace tallymere {
namespace {

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;
const std::string& header = testing::sheetOpening;

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
}

// Every problem within 6 turns up (48 of one step and 336 of two, counted by hand), and no other:
// a bound one too narrow loses some, one too wide brings problems the oracle refuses.
TEST(DrawProblem, DrawsEveryProblemWithinTheRange)
{
    for (const auto mode : {single, chained}) {
        EngineRandom random(20101113);
        std::set<std::string> cells;
        for (int i = 0; i < 100000; ++i) {
            cells.insert(formatCell(1, drawProblem(mode, 6, random), mode));
        }
        for (const std::string& cell : cells) {
            ASSERT_EQ(testing::worksheetFault(header + cell + "\r\n", 1, {1, 6, mode}), "");
        }
        EXPECT_EQ(cells.size(), mode == single ? 48u : 336u);
    }
}

// The note warns of the temporary folder, where Windows runs a program opened inside a .zip, and
// whose name it may give in another case; elsewhere it says where the sheets go.
TEST(SheetsNote, WarnsOnlyInsideTheTemporaryFolder)
{
    const std::string temp = "C:\\Users\\老师\\AppData\\Local\\Temp\\";
    // clang-format off
    const std::tuple<std::string, std::string, bool> rows[] = {
        {temp + "Temp1_口算.zip", temp, true}, {"c:\\users\\老师\\appdata\\local\\TEMP", temp, true},
        {"C:\\Users\\老师\\AppData\\Local\\Temp2", temp, false}, {"/tmp/x", "/tmp", true},
        {"/home/x", "/tmp", false}, {"/x", "", false}};
    // clang-format on
    for (const auto& [folder, temporary, warns] : rows) {
        const std::string note = form::sheetsNote(folder, temporary);
        EXPECT_EQ(note.starts_with("练习保存在：" + folder), !warns) << note;
    }
}

class RunTest : public ::testing::Test {
protected:
    std::string run(const WorksheetSettings& settings, RandomSource& source)
    {
        // On Windows through the long-path prefix, after which "/" is no separator.
        const bool windows = std::filesystem::path::preferred_separator == '\\';
        generateWorksheet(settings, (windows ? "\\\\?\\" : "") + folder.text(), source);
        return testing::fileBytes(folder.worksheet());
    }

    testing::TempFolder folder;
    EngineRandom random;
};

// The least and the most of every draw give known sheets.
TEST_F(RunTest, WritesTheExactBytes)
{
    testing::ConstantRandom least(0);
    const std::string first = header + "(1)  0+0=          (2)  0+0=          (3)  0+0=          " +
                              "(4)  0+0=          \r\n";
    ASSERT_EQ(run({"10", "4", single}, least), first);
    testing::ConstantRandom most(std::nextafter(1.0f, 0.0f));
    EXPECT_EQ(run({"100", "10", chained}, most),
              first + header +
                  "(1)  99-99-0=       (2)  99-99-0=       (3)  99-99-0=       (4)  99-99-0=       "
                  "\r\n(5)  99-99-0=       (6)  99-99-0=       (7)  99-99-0=       "
                  "(8)  99-99-0=       \r\n(9)  99-99-0=       (10) 99-99-0=       \r\n");
}

// Every run appends one whole sheet after the earlier ones, within the whole part of the range,
// up to the largest range whose problems all fit their cells; settings that give no such sheet
// write nothing. A second process started with the first run's settings draws another drill.
TEST_F(RunTest, EverySettingAppendsAWholeSheetOrNothing)
{
    const char* counts[] = {"8", "1", "10", "10.5", "999"};
    // clang-format off
    const std::tuple<const char*, double, DifficultyMode> ranges[] = {{"10", 10, single},
        {"10", 10, chained}, {"1", 1, single}, {"1", 1, chained}, {"10.5", 10, chained},
        {"１０", 10, single}, {"1000000", 1000000, single}, {"9999", 9999, chained}};
    using enum SettingsFault;
    const std::tuple<std::string, const char*, DifficultyMode, SettingsFault> refusals[] = {
        {"", "10", single, NoRange}, {"abc", "10", single, NoRange}, {"二十", "10", single, NoRange},
        {"0.9", "10", single, NoRange}, {"-0", "10", single, NoRange}, {"-10", "10", chained, NoRange},
        {"-" + std::string(400, '9'), "10", single, NoRange},
        {"1000001", "10", single, RangeTooLarge}, {"10000", "10", chained, RangeTooLarge},
        {std::string(400, '9'), "10", single, RangeTooLarge},
        {"10", "", single, NoCount}, {"10", "0", single, NoCount}, {"10", "0.5", single, NoCount},
        {"10", "二十", chained, NoCount}, {"10", "-3", single, NoCount},
        {"10", "1000", single, TooManyProblems}};
    // clang-format on
    std::string before, first;
    for (const auto& [rangeText, range, mode] : ranges) {
        for (const char* count : counts) {
            const std::string after = run({rangeText, count, mode}, random);
            ASSERT_EQ(after.substr(0, before.size()), before);
            ASSERT_EQ(testing::worksheetFault(after.substr(before.size()), 1,
                                              {std::atoi(count), range, mode}),
                      "")
                << "range " << rangeText << ", count " << count;
            before = after;
            first = first.empty() ? after : first;
        }
    }
    for (const auto& [rangeText, count, mode, fault] : refusals) {
        const RunResult result = generateWorksheet({rangeText, count, mode}, folder.text(), random);
        EXPECT_EQ(std::get<SettingsFault>(result), fault) << rangeText << " " << count;
    }
    EXPECT_EQ(testing::fileBytes(folder.worksheet()), before);
    EngineRandom secondProcess;
    EXPECT_NE(run({"10", "8", single}, secondProcess).substr(before.size()), first);
}

} // namespace
} // namespace tallymere

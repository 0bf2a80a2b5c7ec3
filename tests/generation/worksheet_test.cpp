#include "generation/gbk.h"
#include "generation/worksheet.h"
#include "generation/worksheet_error.h"
#include "support/worksheet_reader.h"

#include <gtest/gtest.h>
#include <string>

namespace tallymere {
namespace {

struct Display {
    const char* name;
    double number;
    std::string text;
};

class DisplayTextTest : public ::testing::TestWithParam<Display> {};

TEST_P(DisplayTextTest, WritesPlainDecimalDigits)
{
    EXPECT_EQ(displayText(GetParam().number), GetParam().text);
}

const Display displays[] = {
    {"seven", 7, "7"},
    {"zero", 0, "0"},
    {"negative_zero", -0.0, "0"},
    {"negative", -3, "-3"},
    {"ten_thousand", 10000, "10000"},
    {"ten_to_fifteen", 1e15, "1000000000000000"},
    {"two_to_fifty_three", 9007199254740992.0, "9007199254740992"},
    {"negative_two_to_fifty_three", -9007199254740992.0, "-9007199254740992"},
    {"just_above_two_to_fifty_three", 9007199254740994.0, "9007199254740994"},
    {"ten_to_twenty", 1e20, "100000000000000000000"},
    {"negative_ten_to_sixteen", -1e16, "-10000000000000000"},
    {"not_the_shortest_form", 1e23, "99999999999999991611392"},
};

INSTANTIATE_TEST_SUITE_P(Numbers, DisplayTextTest, ::testing::ValuesIn(displays),
                         [](const auto& info) { return std::string(info.param.name); });

struct CellCase {
    const char* name;
    int number;
    Problem problem;
    DifficultyMode mode;
    std::string cell;
};

class FormatCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(FormatCellTest, PadsToFixedColumns)
{
    const CellCase& c = GetParam();
    EXPECT_EQ(formatCell(c.number, c.problem, c.mode), c.cell);
}

constexpr auto single = DifficultyMode::SingleStep;
constexpr auto chained = DifficultyMode::ChainedSteps;

const CellCase cells[] = {
    {"one_digit_number", 1, {7, 2, 0, '+'}, single, "(1)  7+2=          "},
    {"two_digit_number_chained", 12, {45, 3, 20, '-', '+'}, chained, "(12) 45-3+20=       "},
    {"three_digit_number_takes_no_blank", 100, {56, 8, 0, '-'}, single, "(100)56-8=         "},
    {"ten", 10, {3, 4, 0, '+'}, single, "(10) 3+4=          "},
    {"largest_number", 999, {9, 9, 9, '-', '-'}, chained, "(999)9-9-9=         "},
    {"single_ignores_c_and_op2", 2, {5, 5, 99, '+', '-'}, single, "(2)  5+5=          "},
    {"negative_sign_counts", 3, {-3, -2, 0, '-'}, single, "(3)  -3--2=        "},
    {"negative_zero_as_zero", 3, {-0.0, -0.0, 0, '+'}, single, "(3)  0+0=          "},
    {"operands_fill_twelve", 5, {123456, 123456, 0, '+'}, single, "(5)  123456+123456="},
    {"operands_outgrow_single", 5, {1234567, 1234567, 0, '-'}, single, "(5)  1234567-1234567="},
    {"operands_outgrow_chained",
     7,
     {9999, 9999, 10000, '+', '+'},
     chained,
     "(7)  9999+9999+10000="},
};

INSTANTIATE_TEST_SUITE_P(Cells, FormatCellTest, ::testing::ValuesIn(cells),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FormatCell, AppendsToTheRowItIsGiven)
{
    std::string row = "(1)  1+1=          ";
    appendCell(row, 2, {2, 1, 0, '-'}, single);
    EXPECT_EQ(row, "(1)  1+1=          (2)  2-1=          ");
}

TEST(Gbk, EncodesTheMottoInTwentyThreeBytes)
{
    EXPECT_EQ(toGbk(motto), testing::mottoGbk);
}

TEST(Gbk, KeepsAsciiAndEncodesChinese)
{
    EXPECT_EQ(toGbk("(1)  7+2= 口算"), "(1)  7+2= \xBF\xDA\xCB\xE3");
}

TEST(Gbk, RefusesWhatItCannotEncode)
{
    EXPECT_THROW(toGbk("😀"), WorksheetError);
    EXPECT_THROW(toGbk("5\xFF"), WorksheetError);
    EXPECT_THROW(toGbk("\xE5\x8F"), WorksheetError); // cut inside a character
}

TEST(WriteLine, EndsEveryLineWithCrLf)
{
    std::string sheet;
    writeLine(sheet, "");
    writeLine(sheet, motto);
    writeLine(sheet, "(1)  0+0=          ");
    EXPECT_EQ(sheet, "\r\n" + std::string(testing::mottoGbk) + "\r\n(1)  0+0=          \r\n");
}

} // namespace
} // namespace tallymere

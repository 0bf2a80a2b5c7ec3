#include "generation/gbk.h"
#include "generation/worksheet.h"
#include "generation/worksheet_error.h"
#include "support/worksheet_reader.h"

#include <gtest/gtest.h>
#include <limits>
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
    {"ten_to_twenty", 1e20, "100000000000000000000"},
    {"negative_ten_to_sixteen", -1e16, "-10000000000000000"},
    {"ten_to_three_hundred", 1e300,
     "100000000000000005250476025520442024870446858110815915491585411551180245798890819578637137"
     "508044786404370444383288387817694252323536043057564479218478670698284838720092657580373783"
     "023379478809005936895323497079994508111903896764088007465274278014249457925878882005684283"
     "8115669472196386865459400540160"},
    {"largest_double_digit_count", std::numeric_limits<double>::max(),
     "179769313486231570814527423731704356798070567525844996598917476803157260780028538760589558"
     "632766878171540458953514382464234321326889464182768467546703537516986049910576551282076245"
     "490090389328944075868508455133942304583236903222948165808559332123348274797826204144723168"
     "738177180919299881250404026184124858368"},
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
    {"zeros", 1, {0, 0, 0, '+'}, single, "(1)  0+0=          "},
    {"nine_then_ten", 9, {3, 4, 0, '+'}, single, "(9)  3+4=          "},
    {"ten", 10, {3, 4, 0, '+'}, single, "(10) 3+4=          "},
    {"largest_number", 999, {9, 9, 9, '-', '-'}, chained, "(999)9-9-9=         "},
    {"chained_ignores_nothing", 4, {10, 0, 10, '-', '+'}, chained, "(4)  10-0+10=       "},
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

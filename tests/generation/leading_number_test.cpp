#include "generation/leading_number.h"

#include <gtest/gtest.h>
#include <limits>
#include <string>

namespace tallymere {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();

struct Reading {
    const char* name;
    std::string text;
    double value;
};

class LeadingNumberTest : public ::testing::TestWithParam<Reading> {};

TEST_P(LeadingNumberTest, ReadsTheNumberAtTheStart)
{
    EXPECT_EQ(leadingNumber(GetParam().text), GetParam().value);
}

const Reading readings[] = {
    {"whole", "20", 20},
    {"negative", "-5", -5},
    {"fraction", "10.5", 10.5},
    {"letters", "abc", 0},
    {"empty", "", 0},
    {"chinese_after", "15以内", 15},
    {"blanks_first", "   42", 42},
    {"tab_first", "\t7", 7},
    {"ideographic_blank_first", "\u3000\u30008", 8},
    {"no_break_space_first", "\u00A020", 20},
    {"typographic_spaces_first", "\u2000\u200A\u202F\u205F 7", 7},
    {"zero_width_space_is_no_blank", "\u200B5", 0},
    {"no_break_space_inside_stops", "1\u00A0000", 1},
    {"blank_inside_stops", "1 000", 1},
    {"second_point_stops", "1.2.3", 1.2},
    {"plus_sign", "+5", 5},
    {"point_first", ".5", 0.5},
    {"point_last", "5.", 5},
    {"negative_point_first", "-.5", -0.5},
    {"point_alone", ".", 0},
    {"sign_alone", "-", 0},
    {"two_signs", "+-5", 0},
    {"no_exponent", "1e5", 1},
    {"no_radix_prefix", "0x10", 0},
    {"no_nan", "nan", 0},
    {"no_inf", "inf", 0},
    {"full_width_digits", "１２", 12},
    {"full_width_minus", "－３", -3},
    {"full_width_point", "１．５", 1.5},
    {"full_width_plus", "＋４", 4},
    {"ideographic_full_stop_stops", "5。5", 5},
    {"full_width_solidus_stops", "１／２", 1},
    {"cut_full_width_digit", "\xEF\xBC", 0},
    {"invalid_utf8_first", "\xFF\x35", 0},
    {"invalid_utf8_after", "5\xFF", 5},
    {"embedded_nul", std::string("5\0003", 3), 5},
    {"beyond_double", std::string(400, '9'), infinity},
    {"beyond_double_negative", "-" + std::string(400, '9'), -infinity},
    {"beyond_double_with_fraction", std::string(400, '9') + ".5", infinity},
    {"too_small_is_zero", "0." + std::string(400, '0') + "1", 0},
};

INSTANTIATE_TEST_SUITE_P(Texts, LeadingNumberTest, ::testing::ValuesIn(readings),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace tallymere

#include "worksheet.h"

#include "gbk.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tallymere {

namespace {

constexpr std::size_t numberColumns = 5;
constexpr std::size_t operandColumns = 12;

void padTo(std::string& text, std::size_t width)
{
    if (text.size() < width) {
        text.append(width - text.size(), ' ');
    }
}

void appendInteger(std::string& text, std::int64_t number)
{
    std::array<char, 24> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), number);
    text.append(digits.data(), result.ptr);
}

void appendNumber(std::string& text, double wholeNumber)
{
    if (wholeNumber == 0) {
        text += '0'; // a negative zero too
        return;
    }
    // Whole numbers of up to 53 bits convert exactly, and integer conversion is several times
    // faster than the fixed notation of a double.
    constexpr double exactLimit = 0x1p53;
    if (std::fabs(wholeNumber) <= exactLimit && wholeNumber == std::trunc(wholeNumber)) {
        appendInteger(text, static_cast<std::int64_t>(wholeNumber));
        return;
    }
    // Fixed notation without fraction digits writes every digit the double holds; the largest
    // double has 309 of them.
    std::array<char, 320> digits;
    const auto result = std::to_chars(digits.data(), digits.data() + digits.size(), wholeNumber,
                                      std::chars_format::fixed, 0);
    text.append(digits.data(), result.ptr);
}

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

} // namespace

std::string displayText(double wholeNumber)
{
    std::string text;
    appendNumber(text, wholeNumber);
    return text;
}

void appendCell(std::string& row, int number, const Problem& problem, DifficultyMode mode)
{
    const std::size_t cellStart = row.size();
    row += '(';
    appendInteger(row, number);
    row += ')';
    padTo(row, cellStart + numberColumns);

    const std::size_t problemStart = row.size();
    appendNumber(row, problem.a);
    row += problem.op1;
    appendNumber(row, problem.b);
    std::size_t signs = 2; // op1 and '='
    if (mode == DifficultyMode::ChainedSteps) {
        row += problem.op2;
        appendNumber(row, problem.c);
        ++signs;
    }
    row += '=';
    padTo(row, problemStart + signs + operandColumns);
}

std::string formatCell(int number, const Problem& problem, DifficultyMode mode)
{
    std::string cell;
    appendCell(cell, number, problem, mode);
    return cell;
}

void writeLine(std::string& sheet, std::string_view text)
{
    // GBK keeps ASCII as it is, so the problem rows need no conversion.
    if (isAscii(text)) {
        sheet += text;
    } else {
        sheet += toGbk(text);
    }
    sheet += "\r\n";
}

} // namespace tallymere

#include "worksheet.h"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace tallymere {

namespace {

constexpr int cellsPerRow = 4;
constexpr std::size_t numberColumns = 5; // "(999)"
constexpr std::size_t operandColumns = 12;
constexpr std::string_view lineEnd = "\r\n";

// op1 and "=", and op2 with two steps.
constexpr std::size_t signColumns(DifficultyMode mode)
{
    return mode == DifficultyMode::ChainedSteps ? 3 : 2;
}

constexpr std::size_t rowBytes(DifficultyMode mode)
{
    return cellsPerRow * (numberColumns + signColumns(mode) + operandColumns) + lineEnd.size();
}

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
    if (mode == DifficultyMode::ChainedSteps) {
        row += problem.op2;
        appendNumber(row, problem.c);
    }
    row += '=';
    padTo(row, problemStart + signColumns(mode) + operandColumns);
}

void appendLine(std::string& sheet, std::string_view bytes)
{
    sheet += bytes;
    sheet += lineEnd;
}

} // namespace

std::string displayText(double wholeNumber)
{
    std::string text;
    appendNumber(text, wholeNumber);
    return text;
}

std::string formatCell(int number, const Problem& problem, DifficultyMode mode)
{
    std::string cell;
    appendCell(cell, number, problem, mode);
    return cell;
}

std::string composeSheet(double range, int problemCount, DifficultyMode mode, RandomSource& random)
{
    std::string sheet;
    const auto rows = static_cast<std::size_t>((problemCount + cellsPerRow - 1) / cellsPerRow);
    sheet.reserve(mottoGbk.size() + 3 * lineEnd.size() + rows * rowBytes(mode));
    appendLine(sheet, "");
    appendLine(sheet, mottoGbk);
    appendLine(sheet, "");
    std::string row;
    for (int number = 1; number <= problemCount; ++number) {
        appendCell(row, number, drawProblem(mode, range, random), mode);
        if (number % cellsPerRow == 0 || number == problemCount) {
            appendLine(sheet, row);
            row.clear();
        }
    }
    return sheet;
}

} // namespace tallymere

#include "worksheet.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>

namespace tallymere {

namespace {

constexpr int cellsPerRow = 4;
constexpr std::size_t numberColumns = 5; // "(999)"
constexpr std::string_view lineEnd = "\r\n";

// op1 and "=", and op2 with two steps.
constexpr std::size_t signColumns(DifficultyMode mode)
{
    return mode == DifficultyMode::ChainedSteps ? 3 : 2;
}

char* padTo(char* start, char* at, std::size_t width)
{
    return std::fill_n(at, std::max<std::ptrdiff_t>(0, start + width - at), ' ');
}

// Problem numbers and most operands: three digits at most, which to_chars writes slowly.
char* writeSmall(char* at, int number)
{
    if (number >= 100) {
        *at++ = static_cast<char>('0' + number / 100);
    }
    if (number >= 10) {
        *at++ = static_cast<char>('0' + number / 10 % 10);
    }
    *at++ = static_cast<char>('0' + number % 10);
    return at;
}

// The decimal digits of a whole number, with "-" when negative: never an exponent, never "-0".
char* writeNumber(char* at, char* end, double wholeNumber)
{
    // Whole numbers of up to 53 bits convert exactly, and integer conversion is several times
    // faster than the fixed notation of a double, which writes every digit the double holds.
    const auto whole = static_cast<std::int64_t>(std::clamp(wholeNumber, -0x1p53, 0x1p53));
    if (static_cast<double>(whole) != wholeNumber) {
        return std::to_chars(at, end, wholeNumber, std::chars_format::fixed, 0).ptr;
    }
    return whole >= 0 && whole < 1000 ? writeSmall(at, static_cast<int>(whole))
                                      : std::to_chars(at, end, whole).ptr;
}

// Built in place and appended at once: a sheet is mostly cells.
void appendCell(std::string& sheet, int number, const Problem& problem, DifficultyMode mode)
{
    std::array<char, 1024> cell; // three operands of the 309 digits the largest double has
    char* const end = cell.data() + cell.size() - 8; // room after each number for what follows
    char* at = cell.data();
    *at++ = '(';
    at = writeSmall(at, number);
    *at++ = ')';
    at = padTo(cell.data(), at, numberColumns);
    char* const problemStart = at;
    at = writeNumber(at, end, problem.a);
    *at++ = problem.op1;
    at = writeNumber(at, end, problem.b);
    if (mode == DifficultyMode::ChainedSteps) {
        *at++ = problem.op2;
        at = writeNumber(at, end, problem.c);
    }
    *at++ = '=';
    sheet.append(cell.data(), padTo(problemStart, at, signColumns(mode) + operandColumns));
}

void appendLine(std::string& sheet, std::string_view bytes)
{
    sheet += bytes;
    sheet += lineEnd;
}

} // namespace

std::size_t widestOperands(DifficultyMode mode, std::uint64_t range)
{
    // Both operands of a step reach range - 1 (a-b with b = a), or are 0 and the range (0+range);
    // two steps reach a-b+range.
    const std::size_t belowRange = 2 * std::to_string(range - 1).size();
    const std::size_t atRange = std::to_string(range).size();
    return mode == DifficultyMode::SingleStep ? std::max(belowRange, 1 + atRange)
                                              : belowRange + atRange;
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
    const auto cell = numberColumns + signColumns(mode) + operandColumns;
    sheet.reserve(mottoGbk.size() + 8 + static_cast<std::size_t>(problemCount) * (cell + 1));
    appendLine(sheet, "");
    appendLine(sheet, mottoGbk);
    appendLine(sheet, "");
    for (int number = 1; number <= problemCount; ++number) {
        appendCell(sheet, number, drawProblem(mode, range, random), mode);
        if (number % cellsPerRow == 0 || number == problemCount) {
            sheet += lineEnd;
        }
    }
    return sheet;
}

} // namespace tallymere

#pragma once

#include "generation/problem.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tallymere::testing {

// The GBK bytes of the motto, written out by hand so that the converter is not its own oracle.
inline constexpr std::string_view mottoGbk = "\xC3\xBF\xCC\xEC\x35\xB7\xD6\xD6\xD3\xA3\xAC\xBF"
                                             "\xDA\xCB\xE3\xBA\xC3\xC7\xE1\xCB\xC9\xA3\xA1";

struct ReadCell {
    int number = 0;
    std::size_t width = 0;         // columns, trailing blanks included
    std::size_t problemColumn = 0; // where the problem starts within the cell
    std::vector<double> operands;  // two or three
    std::string signs;             // one sign between each two operands
    std::size_t operandDigits = 0; // characters of all operands, "-" signs included
};

struct ReadSheet {
    std::vector<std::vector<ReadCell>> rows;
};

// Reads the sheets of a worksheet file. Throws std::runtime_error at the first place that breaks
// the format: every line ends in CR LF; every sheet opens with an empty line, the motto and an
// empty line; then come rows of one to four cells, each "(n)", blanks, the problem, "=", blanks.
std::vector<ReadSheet> readWorksheets(std::string_view bytes);

std::string fileBytes(const std::filesystem::path& path);

// The UTF-8 text of a path, as the core takes folders; on Windows, string() would use the ANSI code
// page, which may lack the file's Chinese name.
std::string pathText(const std::filesystem::path& path);

// Checks that a sheet holds problems 1 to `count` in order, four to a row, in cells of 19 columns
// (20 for ChainedSteps) unless the operands outgrow 12 columns. Returns the first fault, or "".
std::string layoutFault(const ReadSheet& sheet, int count, DifficultyMode mode);

// Checks that no result along the way leaves 0 .. `range` (a whole range of 1 or more), and the
// bounds of each operand. Returns the first fault, or "".
std::string rangeFault(const ReadSheet& sheet, double range, DifficultyMode mode);

} // namespace tallymere::testing

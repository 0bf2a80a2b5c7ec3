#pragma once

#include "problem.h"

#include <string>
#include <string_view>

namespace tallymere {

// The line above every sheet.
inline constexpr std::string_view motto = "每天5分钟，口算好轻松！";

// The decimal digits of a whole number, with "-" when negative: never an exponent, never "-0".
std::string displayText(double wholeNumber);

// Appends the cell of problem `number` (1 to 999): "(n)" padded to 5 columns, then the problem
// and "=", padded so that the operands share 12 columns. Operands wider than that widen the cell.
void appendCell(std::string& row, int number, const Problem& problem, DifficultyMode mode);
std::string formatCell(int number, const Problem& problem, DifficultyMode mode);

// Appends `text` (UTF-8) to the sheet in GBK, ended by CR LF.
void writeLine(std::string& sheet, std::string_view text);

} // namespace tallymere

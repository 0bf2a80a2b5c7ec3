#pragma once

#include "problem.h"
#include "random_source.h"

#include <cstdint>
#include <string>
#include <string_view>

// The sheet as it goes to the file: lines ended by CR LF, in GBK (code page 936), the code page of
// the Chinese Windows that print it. The problem rows are ASCII, which GBK keeps as it is.
namespace tallymere {

// "每天5分钟，口算好轻松！", the line above every sheet.
inline constexpr std::string_view mottoGbk = "\xC3\xBF\xCC\xEC"
                                             "5"
                                             "\xB7\xD6\xD6\xD3\xA3\xAC\xBF\xDA\xCB\xE3\xBA\xC3\xC7"
                                             "\xE1\xCB\xC9\xA3\xA1";

// The columns that a cell gives the operands of its problem.
inline constexpr std::size_t operandColumns = 12;

// The most columns the operands of a problem within a whole `range` of 1 or more may take.
std::size_t widestOperands(DifficultyMode mode, std::uint64_t range);

// The cell of problem `number` (1 to 999): "(n)" padded to 5 columns, then the problem and "=",
// padded so that the operands share operandColumns.
std::string formatCell(int number, const Problem& problem, DifficultyMode mode);

// One sheet: an empty line, the motto, an empty line, then `problemCount` problems within `range`
// drawn from `random`, four to a row.
std::string composeSheet(double range, int problemCount, DifficultyMode mode, RandomSource& random);

} // namespace tallymere

#pragma once

#include "problem.h"
#include "worksheet.h"

#include <string>
#include <string_view>

namespace tallymere::testing {

// What every sheet opens with: an empty line, the motto in GBK and an empty line.
inline const std::string sheetOpening = "\r\n" + std::string(mottoGbk) + "\r\n\r\n";

struct Sheet {
    int count;
    double range;
    DifficultyMode mode;
};

// What is wrong with bytes that should hold one sheet as `sheet` says ("" if nothing): CR LF lines,
// the opening, rows of four cells numbered from 1, each "(n)" in 5 columns, then the problem of
// whole numbers, "=" and blanks to 19 columns (20 with two steps); within a whole range N (NaN: no
// bounds) the first operand is at most N - 1, every result in 0 .. N (N - 1 after a chained "+").
std::string worksheetFault(std::string_view bytes, const Sheet& sheet);

} // namespace tallymere::testing

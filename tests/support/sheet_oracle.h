#pragma once

#include "generation/problem.h"

#include <string>
#include <string_view>

namespace tallymere::testing {

// The GBK bytes of the motto, written out by hand so that the converter is not its own oracle.
inline constexpr std::string_view mottoGbk = "\xC3\xBF\xCC\xEC\x35\xB7\xD6\xD6\xD3\xA3\xAC\xBF"
                                             "\xDA\xCB\xE3\xBA\xC3\xC7\xE1\xCB\xC9\xA3\xA1";

struct Sheet {
    int count;
    double range;
    DifficultyMode mode;
};

// What is wrong with bytes that should hold `sheets` sheets, each as `each` says ("" if nothing).
// Lines end in CR LF; a sheet opens with an empty line, the motto, an empty line, then rows of four
// cells numbered from 1: "(n)" padded to 5 columns, the problem, "=", blanks to 19 columns (20 with
// two steps) or more for operands over 12 columns, never "-0". Within a whole range N of 0 or more
// the first operand is at most N - 1, every result in 0 .. N (N - 1 after a chained "+").
std::string worksheetFault(std::string_view bytes, int sheets, const Sheet& each);

} // namespace tallymere::testing

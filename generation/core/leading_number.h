#pragma once

#include <string_view>

namespace tallymere {

// The value of the number at the start of `text` (UTF-8), or 0 when it begins with none.
// Leading blanks are skipped: spaces, tabs, no-break and typographic spaces, ideographic blanks;
// full-width characters read as their ASCII twins, as a Chinese input method types them. A sign,
// digits and one decimal point make a number ("+5", ".5" and "5." among them); reading stops at
// anything else, so "1e5" is 1. A number beyond the double range reads as an infinity of its sign.
double leadingNumber(std::string_view text);

} // namespace tallymere

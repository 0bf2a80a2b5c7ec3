#pragma once

#include <string_view>

namespace tallymere {

// The number at the start of `text` (UTF-8), after any blanks, or 0: a sign, digits and one point
// ("+5", ".5", "5."), full-width ones as a Chinese input method types them; "1e5" is 1. One beyond
// the double range reads as an infinity of its sign.
double leadingNumber(std::string_view text);

} // namespace tallymere

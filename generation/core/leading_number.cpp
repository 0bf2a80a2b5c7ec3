#include "leading_number.h"

#include <algorithm>
#include <charconv>
#include <limits>
#include <string>

namespace tallymere {

namespace {

// One character of the text as the number reader sees it.
struct Symbol {
    char ascii;        // '\0' for a character that cannot belong to a number
    std::size_t bytes; // its length in the UTF-8 text
};

constexpr std::string_view numberCharacters = " \t+-.0123456789";

// The blanks besides the space and the tab: the no-break space that a copy from a web page or a
// word processor brings, the typographic spaces U+2000..U+200A, U+202F and U+205F, and the
// ideographic blank of a Chinese input method.
constexpr std::string_view unicodeBlanks[] = {
    "\u00A0", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
    "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F", "\u3000",
};

// Full-width U+FF01..U+FF5E stand for ASCII 0x21..0x7E; in UTF-8 they are EF BC 81..BF and
// EF BD 80..9E.
char fullWidthTwin(std::string_view rest)
{
    const auto byte = [rest](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    if (rest.size() < 3 || byte(0) != 0xEF || (byte(1) != 0xBC && byte(1) != 0xBD) ||
        (byte(2) & 0xC0) != 0x80) {
        return '\0';
    }
    const unsigned code = 0xFF00u + (byte(1) - 0xBCu) * 0x40u + (byte(2) - 0x80u);
    return code >= 0xFF01 && code <= 0xFF5E ? static_cast<char>(code - 0xFEE0u) : '\0';
}

Symbol frontSymbol(std::string_view rest)
{
    if (rest.empty()) {
        return {'\0', 0};
    }
    if (static_cast<unsigned char>(rest[0]) < 0x80) {
        return {rest[0], 1};
    }
    const auto* blank = std::ranges::find_if(
        unicodeBlanks, [rest](std::string_view each) { return rest.starts_with(each); });
    if (blank != std::end(unicodeBlanks)) {
        return {' ', blank->size()};
    }
    const char twin = fullWidthTwin(rest);
    return {twin, twin != '\0' ? std::size_t{3} : std::size_t{1}};
}

// The text's start in ASCII, as far as the characters a number may have go.
std::string asciiFront(std::string_view text)
{
    std::string ascii;
    for (Symbol symbol = frontSymbol(text);
         symbol.ascii != '\0' && numberCharacters.find(symbol.ascii) != std::string_view::npos;
         symbol = frontSymbol(text)) {
        ascii += symbol.ascii;
        text.remove_prefix(symbol.bytes);
    }
    return ascii;
}

// `number`: a sign, digits and a point; beyond the double range, too large (a non-zero whole
// part) or too close to zero.
double valueOf(std::string_view number, bool wholePartNonZero)
{
    const bool negative = number.starts_with('-');
    number.remove_prefix(number.starts_with('+') ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(number.data(), number.data() + number.size(), value,
                                              std::chars_format::fixed);
    if (error != std::errc::result_out_of_range) {
        return value;
    }
    const double magnitude = wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

} // namespace

double leadingNumber(std::string_view text)
{
    const std::string ascii = asciiFront(text);
    std::string_view rest = ascii;
    rest.remove_prefix(std::min(rest.find_first_not_of(" \t"), rest.size()));
    const auto digitsFrom = [rest](std::size_t at) {
        return std::min(rest.find_first_not_of("0123456789", at), rest.size());
    };
    const std::size_t sign = rest.starts_with('+') || rest.starts_with('-') ? 1 : 0;
    const std::size_t whole = digitsFrom(sign);
    const std::size_t end = rest.substr(whole).starts_with('.') ? digitsFrom(whole + 1) : whole;
    if (end - sign == (end > whole ? 1 : 0)) {
        return 0; // no digit
    }
    return valueOf(rest.substr(0, end), rest.substr(sign, whole - sign).find_first_not_of('0') !=
                                            std::string_view::npos);
}

} // namespace tallymere

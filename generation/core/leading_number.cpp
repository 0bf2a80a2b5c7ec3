#include "leading_number.h"

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

// The blanks besides the space and the tab: the no-break space that a copy from a web page or a
// word processor brings, the typographic spaces U+2000..U+200A, U+202F and U+205F, and the
// ideographic blank of a Chinese input method.
constexpr std::string_view unicodeBlanks[] = {
    "\u00A0", "\u2000", "\u2001", "\u2002", "\u2003", "\u2004", "\u2005", "\u2006",
    "\u2007", "\u2008", "\u2009", "\u200A", "\u202F", "\u205F", "\u3000",
};

std::size_t unicodeBlankLength(std::string_view rest)
{
    for (const std::string_view blank : unicodeBlanks) {
        if (rest.starts_with(blank)) {
            return blank.size();
        }
    }
    return 0;
}

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
    if (const std::size_t blank = unicodeBlankLength(rest); blank != 0) {
        return {' ', blank};
    }
    const char twin = fullWidthTwin(rest);
    return {twin, twin != '\0' ? std::size_t{3} : std::size_t{1}};
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// Walks the text one symbol at a time, collecting the ASCII form of the number.
class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : rest_(text) {}

    char peek() const { return frontSymbol(rest_).ascii; }
    void skip() { rest_.remove_prefix(frontSymbol(rest_).bytes); }
    void take()
    {
        number_ += peek();
        skip();
    }
    // Takes a run of digits; says whether any of them is not zero.
    bool takeDigits()
    {
        bool nonZero = false;
        for (; isDigit(peek()); take()) {
            ++digitCount_;
            nonZero = nonZero || peek() != '0';
        }
        return nonZero;
    }
    bool hasDigits() const { return digitCount_ > 0; }
    const std::string& number() const { return number_; }

private:
    std::string_view rest_;
    std::string number_;
    std::size_t digitCount_ = 0;
};

double valueOf(const std::string& number, bool wholePartNonZero)
{
    const char* first = number.data() + (number.front() == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] =
        std::from_chars(first, number.data() + number.size(), value, std::chars_format::fixed);
    if (error != std::errc::result_out_of_range) {
        return value;
    }
    const bool negative = number.front() == '-';
    // Out of range is either too large (a non-zero whole part) or too close to zero.
    const double magnitude = wholePartNonZero ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -magnitude : magnitude;
}

} // namespace

double leadingNumber(std::string_view text)
{
    NumberScanner scanner(text);
    while (scanner.peek() == ' ' || scanner.peek() == '\t') {
        scanner.skip();
    }
    if (scanner.peek() == '+' || scanner.peek() == '-') {
        scanner.take();
    }
    const bool wholePartNonZero = scanner.takeDigits();
    if (scanner.peek() == '.') {
        scanner.take();
        scanner.takeDigits();
    }
    return scanner.hasDigits() ? valueOf(scanner.number(), wholePartNonZero) : 0.0;
}

} // namespace tallymere

#include "utf16_win32.h"

namespace tallymere {

namespace {

bool isHighSurrogate(char32_t unit)
{
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool isLowSurrogate(char32_t unit)
{
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

void appendUtf8(std::string& text, char32_t code)
{
    const auto byte = [&text](char32_t bits) { text += static_cast<char>(bits); };
    if (code < 0x80) {
        byte(code);
    } else if (code < 0x800) {
        byte(0xC0 | code >> 6);
        byte(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        byte(0xE0 | code >> 12);
        byte(0x80 | (code >> 6 & 0x3F));
        byte(0x80 | (code & 0x3F));
    } else {
        byte(0xF0 | code >> 18);
        byte(0x80 | (code >> 12 & 0x3F));
        byte(0x80 | (code >> 6 & 0x3F));
        byte(0x80 | (code & 0x3F));
    }
}

// How many bytes a sequence that starts with `lead` takes; 0 for a byte that starts none.
std::size_t sequenceLength(unsigned char lead)
{
    if (lead < 0x80) {
        return 1;
    }
    if (lead < 0xC2) {
        return 0; // a continuation byte, or the lead of an overlong sequence
    }
    if (lead < 0xE0) {
        return 2;
    }
    return lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
}

// The code point at the front of `rest` and how many bytes it takes; U+FFFD and 1 for a byte that
// starts no sequence, an unfinished or an overlong one.
std::pair<char32_t, std::size_t> frontCode(std::string_view rest)
{
    const auto byte = [rest](std::size_t i) { return static_cast<unsigned char>(rest[i]); };
    const std::size_t length = sequenceLength(byte(0));
    if (length == 0 || length > rest.size()) {
        return {U'\uFFFD', 1};
    }
    char32_t code = length == 1 ? byte(0) : byte(0) & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return {U'\uFFFD', 1};
        }
        code = code << 6 | (byte(i) & 0x3F);
    }
    constexpr char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    return code < least[length] || code > 0x10FFFF ? std::pair{U'\uFFFD', std::size_t{1}}
                                                   : std::pair{code, length};
}

} // namespace

std::wstring wideText(std::string_view utf8)
{
    std::wstring wide;
    while (!utf8.empty()) {
        const auto [code, length] = frontCode(utf8);
        if (code < 0x10000) {
            wide += static_cast<wchar_t>(code);
        } else {
            wide += static_cast<wchar_t>(0xD800 + ((code - 0x10000) >> 10));
            wide += static_cast<wchar_t>(0xDC00 + ((code - 0x10000) & 0x3FF));
        }
        utf8.remove_prefix(length);
    }
    return wide;
}

std::string utf8Text(std::wstring_view wide)
{
    std::string utf8;
    for (std::size_t i = 0; i < wide.size(); ++i) {
        char32_t code = wide[i];
        if (isHighSurrogate(code) && i + 1 < wide.size() && isLowSurrogate(wide[i + 1])) {
            code = 0x10000 + ((code - 0xD800) << 10) + (wide[++i] - 0xDC00);
        }
        appendUtf8(utf8, code);
    }
    return utf8;
}

} // namespace tallymere

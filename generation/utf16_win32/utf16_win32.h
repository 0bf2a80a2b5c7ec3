#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// Windows speaks UTF-16 and the core UTF-8. A name on Windows may hold a lone surrogate (NTFS
// allows it), which UTF-8 has no form for; it goes as the three bytes that UTF-8 would give its
// code point (the WTF-8 of Rust and browsers), so that a folder's name comes back as Windows keeps
// it. What is not UTF-8 in that sense reads as U+FFFD.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

} // namespace tallymere

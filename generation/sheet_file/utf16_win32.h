#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// Windows speaks UTF-16 and the core UTF-8. Invalid UTF-8 throws FileError.
std::wstring wideText(std::string_view utf8);
std::string utf8Text(std::wstring_view wide);

} // namespace tallymere

#pragma once

#include <string>
#include <string_view>

namespace tallymere {

// The GBK (code page 936) bytes of UTF-8 text, by the platform's own converter. Throws
// WorksheetError for text that is not valid UTF-8 or has a character GBK lacks, and for a system
// without the converter.
std::string toGbk(std::string_view utf8);

inline constexpr std::string_view noGbkMessage = "本机缺少GBK编码转换，无法生成口算题。";

} // namespace tallymere

#include "gbk.h"
#include "utf16.h"
#include "worksheet_error.h"

#include <windows.h>

namespace tallymere {

namespace {

constexpr UINT gbkCodePage = 936;

// Puts the GBK bytes of `wide` (not empty) into `gbk`, when given; false when a character has no
// GBK form.
bool convert(std::wstring_view wide, std::string* gbk)
{
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    // No best fit: a character GBK lacks must fail, not turn into a look-alike or "?".
    const int length = WideCharToMultiByte(gbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                                           nullptr, 0, nullptr, &usedDefault);
    if (length == 0) {
        // Any text converts to some bytes, so the system lacks the code page itself.
        throw WorksheetError(std::string(noGbkMessage));
    }
    if (usedDefault) {
        return false;
    }
    if (gbk != nullptr) {
        gbk->resize(static_cast<std::size_t>(length));
        WideCharToMultiByte(gbkCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), size, gbk->data(),
                            length, nullptr, nullptr);
    }
    return true;
}

// The longest start of `wide` that GBK can hold, to tell the user where the trouble is.
std::size_t convertibleLength(std::wstring_view wide)
{
    std::size_t length = 0;
    while (length < wide.size() && convert(wide.substr(0, length + 1), nullptr)) {
        ++length;
    }
    return length;
}

} // namespace

std::string toGbk(std::string_view utf8)
{
    std::string gbk;
    const std::wstring wide = wideText(utf8);
    if (!wide.empty() && !convert(wide, &gbk)) {
        const std::wstring_view good = std::wstring_view(wide).substr(0, convertibleLength(wide));
        throw WorksheetError("文字“" + utf8Text(good) + "”之后有无法用GBK编码保存的字符。");
    }
    return gbk;
}

} // namespace tallymere

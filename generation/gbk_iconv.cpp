#include "gbk.h"
#include "worksheet_error.h"

#include <cerrno>
#include <iconv.h>
#include <memory>

namespace tallymere {

namespace {

struct IconvCloser {
    void operator()(iconv_t converter) const { iconv_close(converter); }
};
using Converter = std::unique_ptr<std::remove_pointer_t<iconv_t>, IconvCloser>;

Converter openConverter()
{
    iconv_t converter = iconv_open("GBK", "UTF-8");
    if (converter == reinterpret_cast<iconv_t>(-1)) {
        throw WorksheetError(std::string(noGbkMessage));
    }
    return Converter(converter);
}

} // namespace

std::string toGbk(std::string_view utf8)
{
    const Converter converter = openConverter();
    // No character takes more bytes in GBK than in UTF-8.
    std::string gbk(utf8.size(), '\0');
    char* in = const_cast<char*>(utf8.data()); // iconv's signature lacks const; it only reads
    std::size_t inLeft = utf8.size();
    char* out = gbk.data();
    std::size_t outLeft = gbk.size();
    if (iconv(converter.get(), &in, &inLeft, &out, &outLeft) == static_cast<std::size_t>(-1)) {
        const auto at = utf8.size() - inLeft;
        throw WorksheetError("文字“" + std::string(utf8.substr(0, at)) +
                             "”之后有无法用GBK编码保存的字符。");
    }
    gbk.resize(gbk.size() - outLeft);
    return gbk;
}

} // namespace tallymere

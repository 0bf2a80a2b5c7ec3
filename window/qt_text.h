#pragma once

#include <QString>
#include <string_view>

namespace tallymere {

// The core and the form table keep their texts in UTF-8.
inline QString qtText(std::string_view utf8)
{
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

} // namespace tallymere

#pragma once
// Conversions between GBK byte strings and Qt's UTF-16 strings. The grid
// converts every cell it paints, so both directions are table lookups.
#include "text/Text.h"

#include <QString>
#include <string_view>

namespace morvane {

// Invalid or truncated GBK sequences become U+FFFD; a zero byte ends nothing.
QString fromGbk(std::string_view bytes);
// A character outside GBK becomes "?", as the server does.
Text toGbk(const QString &text);
Text utf8ToGbk(std::string_view utf8);
std::string gbkToUtf8(std::string_view gbk);

// "信息："_gbk: a GBK text from a UTF-8 source literal.
inline Text operator""_gbk(const char *utf8, std::size_t size)
{
    return utf8ToGbk(std::string_view(utf8, size));
}

} // namespace morvane

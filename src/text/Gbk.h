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

// A lead byte of a GBK double-byte character, and a byte that may follow
// one, as the server's gbk reads them.
inline bool isGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}
inline bool isGbkTrail(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}
// 2 for a GBK double-byte character at text[i], else 1.
inline std::size_t gbkCharLength(std::string_view text, std::size_t i)
{
    return i + 1 < text.size() && isGbkLead(static_cast<unsigned char>(text[i])) &&
                   isGbkTrail(static_cast<unsigned char>(text[i + 1]))
               ? 2
               : 1;
}

// "信息："_gbk: a GBK text from a UTF-8 source literal.
inline Text operator""_gbk(const char *utf8, std::size_t size)
{
    return utf8ToGbk(std::string_view(utf8, size));
}

} // namespace morvane

#include "text/Gbk.h"

#include <array>
#include <cstdint>
#include <iconv.h>
#include <memory>

namespace morvane {

namespace {

constexpr char16_t kReplacement = 0xFFFD;

// Both directions as flat tables, filled once from the C library's GBK
// converter. Its double-byte mapping agrees code for code with the MariaDB
// server's gbk (the user-defined areas are unmapped in both); the one
// difference is the single byte 0x80, which the library reads as the euro
// sign and the server refuses, so it is left invalid here like the server.
struct GbkTables {
    // Index ((lead - 0x80) << 8) | trail for lead 0x81..0xFE; 0 = no character.
    std::array<char16_t, 0x8000> toUnicode{};
    // GBK code for each UTF-16 unit: below 0x80 a single byte, 0 = none.
    std::array<std::uint16_t, 0x10000> fromUnicode{};

    GbkTables()
    {
        for (unsigned c = 0; c < 0x80; ++c)
            fromUnicode[c] = static_cast<std::uint16_t>(c);
        iconv_t cd = iconv_open("UTF-16LE", "GBK");
        if (cd == reinterpret_cast<iconv_t>(-1)) return;
        for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
            for (unsigned trail = 0x40; trail <= 0xFE; ++trail) {
                if (trail == 0x7F) continue;
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                unsigned char out[8];
                char *inPtr = in;
                char *outPtr = reinterpret_cast<char *>(out);
                std::size_t inLeft = 2, outLeft = sizeof out;
                iconv(cd, nullptr, nullptr, nullptr, nullptr);
                if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1) ||
                    inLeft != 0 || sizeof out - outLeft != 2)
                    continue;
                char16_t unit = static_cast<char16_t>(out[0] | (out[1] << 8));
                if (unit < 0x80 || (unit >= 0xD800 && unit <= 0xDFFF)) continue;
                toUnicode[((lead - 0x80) << 8) | trail] = unit;
                if (fromUnicode[unit] == 0)
                    fromUnicode[unit] = static_cast<std::uint16_t>((lead << 8) | trail);
            }
        }
        iconv_close(cd);
    }
};

const GbkTables &tables()
{
    static const std::unique_ptr<GbkTables> instance = std::make_unique<GbkTables>();
    return *instance;
}

// Decodes GBK into UTF-16 units at `out`, which holds at least bytes.size()
// units; returns how many were written.
template <typename Unit> std::size_t decode(std::string_view bytes, Unit *out)
{
    const auto &table = tables().toUnicode;
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const auto *end = p + bytes.size();
    Unit *start = out;
    while (p < end) {
        unsigned char byte = *p;
        if (byte < 0x80) {
            *out++ = byte;
            ++p;
            continue;
        }
        if (byte == 0x80 || byte == 0xFF || p + 1 == end) {
            *out++ = kReplacement;
            ++p;
            continue;
        }
        unsigned char trail = p[1];
        if (trail < 0x40 || trail == 0x7F || trail == 0xFF) {
            // Not a second byte at all: the lead byte alone is bad, and an
            // ASCII byte after it is still read as itself.
            *out++ = kReplacement;
            ++p;
            continue;
        }
        char16_t unit = table[((byte - 0x80) << 8) | trail];
        *out++ = unit ? unit : kReplacement;
        p += 2;
    }
    return static_cast<std::size_t>(out - start);
}

void appendUtf8(std::string &out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

void appendGbk(Text &out, char32_t cp)
{
    std::uint16_t code = cp <= 0xFFFF ? tables().fromUnicode[cp] : 0;
    if (cp == 0)
        out += '\0';
    else if (code == 0)
        out += '?';
    else if (code < 0x80)
        out += static_cast<char>(code);
    else {
        out += static_cast<char>(code >> 8);
        out += static_cast<char>(code & 0xFF);
    }
}

} // namespace

QString fromGbk(std::string_view bytes)
{
    QString result(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    std::size_t n = decode(bytes, reinterpret_cast<char16_t *>(result.data()));
    result.truncate(static_cast<qsizetype>(n));
    return result;
}

Text toGbk(const QString &text)
{
    const auto &table = tables().fromUnicode;
    Text result;
    result.reserve(static_cast<std::size_t>(text.size()) * 2);
    const char16_t *p = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = p + text.size();
    while (p < end) {
        char16_t unit = *p++;
        if (unit < 0x80) {
            result += static_cast<char>(unit);
            continue;
        }
        if (unit >= 0xD800 && unit <= 0xDFFF) {
            // A character beyond the BMP (or a stray half of one) has no GBK code.
            if (unit <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) ++p;
            result += '?';
            continue;
        }
        std::uint16_t code = table[unit];
        if (code == 0) {
            result += '?';
        } else {
            result += static_cast<char>(code >> 8);
            result += static_cast<char>(code & 0xFF);
        }
    }
    return result;
}

Text utf8ToGbk(std::string_view utf8)
{
    Text result;
    result.reserve(utf8.size());
    const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
    const auto *end = p + utf8.size();
    while (p < end) {
        unsigned char byte = *p;
        if (byte < 0x80) {
            result += static_cast<char>(byte);
            ++p;
            continue;
        }
        int extra = byte >= 0xF0 && byte <= 0xF4   ? 3
                    : byte >= 0xE0 && byte <= 0xEF ? 2
                    : byte >= 0xC2 && byte <= 0xDF ? 1
                                                   : -1;
        char32_t cp = extra == 3 ? byte & 0x07 : extra == 2 ? byte & 0x0F : byte & 0x1F;
        bool valid = extra > 0 && end - p > extra;
        for (int i = 1; valid && i <= extra; ++i) {
            if ((p[i] & 0xC0) != 0x80)
                valid = false;
            else
                cp = (cp << 6) | (p[i] & 0x3F);
        }
        if (valid && ((extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) ||
                      (extra == 3 && (cp < 0x10000 || cp > 0x10FFFF))))
            valid = false;
        if (!valid) {
            // Skip the bad lead byte and whatever continuation bytes follow it.
            result += '?';
            ++p;
            while (p < end && (*p & 0xC0) == 0x80)
                ++p;
            continue;
        }
        appendGbk(result, cp);
        p += extra + 1;
    }
    return result;
}

std::string gbkToUtf8(std::string_view gbk)
{
    std::u16string units(gbk.size(), u'\0');
    units.resize(decode(gbk, units.data()));
    std::string result;
    result.reserve(units.size() * 3);
    for (char16_t unit : units)
        appendUtf8(result, unit);
    return result;
}

} // namespace morvane

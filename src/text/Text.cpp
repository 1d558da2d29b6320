#include "text/Text.h"

#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <locale.h>

namespace morvane {

namespace {

bool isLeadByte(unsigned char byte)
{
    return byte >= 0x80;
}

unsigned char foldAscii(unsigned char byte)
{
    return (byte >= 'A' && byte <= 'Z') ? byte + ('a' - 'A') : byte;
}

bool sameBytes(const char *a, const char *b, std::size_t n, bool caseInsensitive)
{
    if (!caseInsensitive) return std::char_traits<char>::compare(a, b, n) == 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (foldAscii(static_cast<unsigned char>(a[i])) != foldAscii(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

// Where matches must end when the text is walked character by character from
// `from`: a lead byte left without its second byte at the very end is not a
// character and is never part of a match.
std::size_t matchLimit(const Text &text, std::size_t from)
{
    std::size_t i = from;
    while (i < text.size()) {
        if (isLeadByte(static_cast<unsigned char>(text[i]))) {
            if (i + 1 >= text.size()) return i;
            i += 2;
        } else {
            i += 1;
        }
    }
    return text.size();
}

std::size_t charWidth(const Text &text, std::size_t at)
{
    if (isLeadByte(static_cast<unsigned char>(text[at])) && at + 1 < text.size()) return 2;
    return 1;
}

} // namespace

int textLength(const Text &text)
{
    return static_cast<int>(text.size());
}

Text leftText(const Text &text, int n)
{
    if (n <= 0) return Text();
    return text.substr(0, static_cast<std::size_t>(n));
}

Text rightText(const Text &text, int n)
{
    if (n <= 0) return Text();
    std::size_t count = static_cast<std::size_t>(n);
    if (count >= text.size()) return text;
    return text.substr(text.size() - count);
}

Text midText(const Text &text, int start, int n)
{
    if (start < 1 || static_cast<std::size_t>(start) > text.size() || n <= 0) return Text();
    return text.substr(static_cast<std::size_t>(start) - 1, static_cast<std::size_t>(n));
}

int findText(const Text &text, const Text &sub, int start, bool caseInsensitive)
{
    std::size_t p = start < 1 ? 0 : static_cast<std::size_t>(start) - 1;
    if (p >= text.size()) return -1;
    const std::size_t limit = matchLimit(text, p);
    const std::size_t m = sub.size();
    while (p < limit) {
        if (limit - p < m) return -1;
        if (sameBytes(text.data() + p, sub.data(), m, caseInsensitive)) return static_cast<int>(p) + 1;
        p += charWidth(text, p);
    }
    return -1;
}

Text replaceText(const Text &text, const Text &sub, const Text &replacement, int count)
{
    if (text.empty() || sub.empty() || count == 0) return text;
    const std::size_t limit = matchLimit(text, 0);
    const std::size_t m = sub.size();
    Text result;
    result.reserve(text.size());
    std::size_t p = 0;
    int done = 0;
    while (p < text.size()) {
        if (limit >= p + m && text.compare(p, m, sub) == 0) {
            result += replacement;
            p += m;
            if (count > 0 && ++done == count) break;
        } else {
            std::size_t width = charWidth(text, p);
            result.append(text, p, width);
            p += width;
        }
    }
    result.append(text, p, Text::npos);
    return result;
}

std::vector<Text> splitText(const Text &text, const Text &delimiter)
{
    std::vector<Text> pieces;
    if (text.empty()) return pieces;
    // An empty delimiter would match everywhere without moving on.
    if (delimiter.empty()) {
        pieces.push_back(text);
        return pieces;
    }
    const std::size_t limit = matchLimit(text, 0);
    const std::size_t m = delimiter.size();
    std::size_t pieceStart = 0;
    std::size_t p = 0;
    while (p < text.size()) {
        if (limit >= p + m && text.compare(p, m, delimiter) == 0) {
            pieces.push_back(text.substr(pieceStart, p - pieceStart));
            p += m;
            pieceStart = p;
        } else {
            p += charWidth(text, p);
        }
    }
    if (pieceStart < text.size()) pieces.push_back(text.substr(pieceStart));
    return pieces;
}

double toNumber(const Text &text)
{
    // Full-width forms read as their ASCII equivalents; the first character
    // that is neither ASCII nor full-width ends the number anyway.
    std::string ascii;
    for (std::size_t i = 0; i < text.size();) {
        unsigned char byte = static_cast<unsigned char>(text[i]);
        if (!isLeadByte(byte)) {
            ascii += static_cast<char>(byte);
            ++i;
            continue;
        }
        if (i + 1 >= text.size()) break;
        unsigned char second = static_cast<unsigned char>(text[i + 1]);
        if (byte == 0xA3 && second >= 0xA1 && second <= 0xFE)
            ascii += static_cast<char>(second - 0x80);
        else if (byte == 0xA1 && second == 0xA1)
            ascii += ' ';
        else
            break;
        i += 2;
    }

    std::size_t i = 0;
    auto isSpace = [](char c) { return c == ' ' || (c >= '\t' && c <= '\r'); };
    auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    while (i < ascii.size() && isSpace(ascii[i]))
        ++i;
    const std::size_t begin = i;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < ascii.size() && isDigit(ascii[i]))
        ++i, ++digits;
    if (i < ascii.size() && ascii[i] == '.') {
        ++i;
        while (i < ascii.size() && isDigit(ascii[i]))
            ++i, ++digits;
    }
    if (digits == 0) return 0;
    std::size_t end = i;
    if (i < ascii.size() && (ascii[i] == 'e' || ascii[i] == 'E')) {
        ++i;
        if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) ++i;
        if (i < ascii.size() && isDigit(ascii[i])) {
            while (i < ascii.size() && isDigit(ascii[i]))
                ++i;
            end = i;
        }
    }
    // The prefix is already checked, so strtod only converts it; the C
    // locale keeps '.' the decimal point whatever the desktop's locale is.
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
    std::string number = ascii.substr(begin, end - begin);
    return strtod_l(number.c_str(), nullptr, cLocale);
}

Text toText(int number)
{
    return std::to_string(number);
}

Text toText(double number)
{
    // "%.13g" without the locale's say in the decimal point.
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, number, std::chars_format::general, 13);
    return Text(buffer, result.ptr);
}

Text textBefore(const Text &text, const Text &marker)
{
    int p = findText(text, marker);
    if (p == -1) return Text();
    return leftText(text, p - 1);
}

Text trimMarker(const Text &text, const Text &marker)
{
    Text result = text;
    // An empty marker equals the empty text's first byte: nothing to drop.
    if (!result.empty() && leftText(result, 1) == marker) result.erase(0, 1);
    if (!result.empty() && rightText(result, 1) == marker) result.pop_back();
    return result;
}

Text textBetween(const Text &text, const Text &startMarker, const Text &endMarker, bool caseInsensitive)
{
    static const Text quoteWord = "#\xD2\xFD\xBA\xC5"; // "#引号" in GBK
    const Text start = replaceText(startMarker, quoteWord, "\"");
    const Text end = replaceText(endMarker, quoteWord, "\"");
    int p = findText(text, start, 1, caseInsensitive);
    if (p == -1) return Text();
    int q = p + textLength(start);
    int e = findText(text, end, q, caseInsensitive);
    if (e == -1) return Text();
    return midText(text, q, e - q);
}

int truncateToInt(double number)
{
    if (std::isnan(number)) return 0;
    if (number >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (number <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(number);
}

} // namespace morvane

#include "workspace/CellEditText.h"

#include "text/Gbk.h"

#include <algorithm>

namespace morvane {

namespace {

// starts[i] is true where a character of `text` begins; starts[size] too.
std::vector<bool> charStarts(const Text &text)
{
    std::vector<bool> starts(text.size() + 1, false);
    for (std::size_t i = 0; i < text.size(); i += gbkCharLength(text, i))
        starts[i] = true;
    starts[text.size()] = true;
    return starts;
}

bool isWordByte(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '$' || c >= 0x80;
}

bool sameWord(const Text &text, std::size_t start, std::size_t end, const char *word)
{
    return sameAsciiFold(text.substr(start, end - start), word);
}

// One piece of a statement as the server's lexer sees it.
struct Token {
    enum Kind { Word, Quoted, Name, Other } kind;
    std::size_t start; // first byte, the opening quote for literals and names
    std::size_t end;   // one past the last byte
    int depth;         // parentheses open around it
};

// Splits a statement into words, quoted literals, backquoted names and single
// other characters; comments and blanks are dropped. A literal or name left
// open runs to the end.
std::vector<Token> tokens(const Text &s)
{
    std::vector<Token> out;
    const std::size_t n = s.size();
    int depth = 0;
    std::size_t i = 0;
    while (i < n) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '\'' || c == '"' || c == '`') {
            std::size_t j = i + 1;
            while (j < n) {
                if (gbkCharLength(s, j) == 2) {
                    j += 2;
                } else if (c != '`' && s[j] == '\\') {
                    j += 2;
                } else if (s[j] == static_cast<char>(c)) {
                    if (j + 1 < n && s[j + 1] == static_cast<char>(c)) {
                        j += 2;
                    } else {
                        break;
                    }
                } else {
                    ++j;
                }
            }
            const std::size_t end = std::min(j + 1, n);
            out.push_back({c == '`' ? Token::Name : Token::Quoted, i, end, depth});
            i = end;
        } else if (c == '#' ||
                   (c == '-' && i + 2 < n && s[i + 1] == '-' &&
                    (s[i + 2] == ' ' || s[i + 2] == '\t' || s[i + 2] == '\n' || s[i + 2] == '\r'))) {
            while (i < n && s[i] != '\n')
                ++i;
        } else if (c == '/' && i + 1 < n && s[i + 1] == '*') {
            const std::size_t close = s.find("*/", i + 2);
            i = close == Text::npos ? n : close + 2;
        } else if (isWordByte(c)) {
            std::size_t j = i;
            while (j < n && isWordByte(static_cast<unsigned char>(s[j])))
                j += gbkCharLength(s, j);
            out.push_back({Token::Word, i, std::min(j, n), depth});
            i = std::min(j, n);
        } else {
            if (c == ')' && depth > 0) --depth;
            out.push_back({Token::Other, i, i + 1, depth});
            if (c == '(') ++depth;
            ++i;
        }
    }
    return out;
}

Text trimmed(const Text &text)
{
    const std::size_t first = text.find_first_not_of(" \t\r\n");
    if (first == Text::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t\r\n") - first + 1);
}

} // namespace

const Text &cellValuePlaceholder()
{
    static const Text placeholder = "[编辑框内容]"_gbk;
    return placeholder;
}

bool sameAsciiFold(const Text &a, const Text &b)
{
    return a.size() == b.size() && findText(a, b, 1, true) == 1;
}

ConsoleValue consoleValue(const Text &value)
{
    ConsoleValue cv;
    std::size_t size = value.size();
    if (size > kConsoleValueLimit) {
        // Cut before the first character that would end past the limit.
        cv.cut = true;
        size = 0;
        for (std::size_t n; size + (n = gbkCharLength(value, size)) <= kConsoleValueLimit;)
            size += n;
    }
    const std::string_view v(value.data(), size);
    Text &shown = cv.shown;
    shown.reserve(v.size() + v.size() / kConsoleLineChars * 2 + 64);
    bool lone = false;
    bool paired = false;
    bool loneReturn = false;
    int lineChars = 0;
    for (std::size_t i = 0; i < v.size();) {
        if (v[i] == '\r' && i + 1 < v.size() && v[i + 1] == '\n') {
            shown += "\r\n";
            i += 2;
            lineChars = 0;
            paired = true;
            continue;
        }
        if (v[i] == '\n') {
            cv.added.emplace_back(shown.size(), 1);
            shown += "\r\n";
            ++i;
            lineChars = 0;
            lone = true;
            continue;
        }
        if (v[i] == '\r') loneReturn = true;
        if (lineChars == kConsoleLineChars) {
            cv.added.emplace_back(shown.size(), 2);
            shown += "\r\n";
            lineChars = 0;
        }
        const std::size_t n = gbkCharLength(v, i);
        shown.append(v, i, n);
        i += n;
        ++lineChars;
    }
    cv.lineFeeds = lone && !paired;
    // Bytes the console cannot hold come back otherwise: a zero byte ends the
    // text, an invalid GBK sequence turns into "?", a lone "\r" and a mix of
    // line ends into "\r\n".
    cv.faithful =
        !cv.cut && v.find('\0') == Text::npos && !loneReturn && !(lone && paired) && toGbk(fromGbk(v)) == v;
    if (cv.cut) shown += "\r\n……（内容超过1MB，以下部分没有显示）"_gbk;
    return cv;
}

Text valueFromConsole(const Text &value, const ConsoleValue &cv, const Text &now)
{
    const Text &shown = cv.shown;
    if (now == shown) return value;
    const std::size_t ns = shown.size();
    const std::size_t nn = now.size();
    // The unchanged start and end, whole characters only; the part between
    // is what the user edited.
    std::size_t p = 0;
    while (p < ns) {
        const std::size_t n = gbkCharLength(shown, p);
        if (p + n > nn || shown.compare(p, n, now, p, n) != 0) break;
        p += n;
    }
    std::size_t s = 0;
    while (s < ns - p && s < nn - p && shown[ns - 1 - s] == now[nn - 1 - s])
        ++s;
    const std::vector<bool> shownStarts = charStarts(shown);
    const std::vector<bool> nowStarts = charStarts(now);
    while (s > 0 && !(shownStarts[ns - s] && nowStarts[nn - s]))
        --s;
    // Neither end may cut into bytes the display added.
    std::size_t q = ns - s;
    for (const auto &[at, length] : cv.added) {
        if (at < p && p < at + length) p = at;
        if (at < q && q < at + length) q = at + length;
    }
    s = ns - q;
    if (p > q || p > nn - s) return now; // cannot happen: both ends are common text
    auto valueOffset = [&](std::size_t x) {
        std::size_t offset = x;
        for (const auto &[at, length] : cv.added)
            if (at + length <= x) offset -= length;
        return offset;
    };
    Text edited = now.substr(p, nn - s - p);
    if (cv.lineFeeds) edited = replaceText(edited, "\r\n", "\n");
    return value.substr(0, valueOffset(p)) + edited + value.substr(valueOffset(q));
}

std::vector<std::size_t> valuePlaceholders(const Text &statement)
{
    std::vector<std::size_t> at;
    const Text &placeholder = cellValuePlaceholder();
    for (const Token &t : tokens(statement)) {
        if (t.kind == Token::Quoted && statement[t.start] == '\'' &&
            t.end - t.start == placeholder.size() + 2 && statement[t.end - 1] == '\'' &&
            statement.compare(t.start + 1, placeholder.size(), placeholder) == 0)
            at.push_back(t.start + 1);
    }
    return at;
}

Text fillPlaceholders(const Text &statement, const std::vector<std::size_t> &at, const Text &replacement)
{
    const std::size_t length = cellValuePlaceholder().size();
    Text out;
    out.reserve(statement.size() + at.size() * replacement.size());
    std::size_t from = 0;
    for (const std::size_t offset : at) {
        out.append(statement, from, offset - from);
        out += replacement;
        from = offset + length;
    }
    out.append(statement, from, Text::npos);
    return out;
}

bool updateTarget(const Text &statement, Text &table, Text &where)
{
    const std::vector<Token> t = tokens(statement);
    std::size_t i = 0;
    if (t.empty() || t[0].kind != Token::Word || !sameWord(statement, t[0].start, t[0].end, "update"))
        return false;
    ++i;
    while (i < t.size() && t[i].kind == Token::Word &&
           (sameWord(statement, t[i].start, t[i].end, "low_priority") ||
            sameWord(statement, t[i].start, t[i].end, "ignore")))
        ++i;
    const std::size_t tableStart = i < t.size() ? t[i].start : statement.size();
    std::size_t set = i;
    while (set < t.size() && !(t[set].kind == Token::Word && t[set].depth == 0 &&
                               sameWord(statement, t[set].start, t[set].end, "set")))
        ++set;
    if (set == t.size()) return false;
    table = trimmed(statement.substr(tableStart, t[set].start - tableStart));
    where.clear();
    for (std::size_t k = set + 1; k < t.size(); ++k) {
        if (t[k].kind == Token::Word && t[k].depth == 0 &&
            sameWord(statement, t[k].start, t[k].end, "where")) {
            where = trimmed(statement.substr(t[k].end));
            break;
        }
    }
    return true;
}

bool isNumericColumnType(const Text &type)
{
    std::size_t end = 0;
    while (end < type.size() &&
           ((type[end] >= 'a' && type[end] <= 'z') || (type[end] >= 'A' && type[end] <= 'Z')))
        ++end;
    static const char *const kNumeric[] = {"tinyint", "smallint", "mediumint", "int",     "integer",
                                           "bigint",  "decimal",  "dec",       "numeric", "fixed",
                                           "float",   "double",   "real",      "bool",    "boolean"};
    for (const char *name : kNumeric)
        if (sameWord(type, 0, end, name)) return true;
    return false;
}

bool isPlainNumber(const Text &text)
{
    std::size_t i = 0;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
    std::size_t digits = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9')
        ++i, ++digits;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '-' || text[i] == '+')) ++i;
        std::size_t exponent = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i, ++exponent;
        if (exponent == 0) return false;
    }
    return i == text.size();
}

} // namespace morvane

// The text operations at their edges, and the GBK conversions (checked code
// for code against the server's own gbk character set).
#include "text/Text.h"
#include "support/TestServer.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

#include <QString>
#include <climits>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace morvane;

namespace {

// GBK characters whose second byte is an ASCII character.
const Text kSecondA = "\x81\x41";         // second byte 'A'
const Text kSecondBackslash = "\x95\x5C"; // second byte 0x5C
const Text kSecondBackquote = "\x95\x60"; // second byte 0x60
const Text kSecondBar = "\x95\x7C";       // second byte '|'

std::string shown(const Text &text)
{
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7F && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\x%02X", c);
            out += buffer;
        }
    }
    return "\"" + out + "\"";
}

struct FindCase {
    Text text;
    Text sub;
    int start;
    bool caseInsensitive;
    int expected;
};

TEST(TextOperations, FindText)
{
    const FindCase cases[] = {
        {"select * from a.b limit 100", "LIMIT", 1, true, 19},
        {"select * from a.b limit 100", "LIMIT", 1, false, -1},
        {"select * from a.b limit 100", "limit", 1, false, 19},
        // a match never begins on a second byte
        {kSecondA, "A", 1, false, -1},
        {kSecondA + "A", "A", 1, false, 3},
        {kSecondA, "a", 1, true, -1},
        {kSecondBackslash, "\\", 1, false, -1},
        {kSecondBackslash + "\\", "\\", 1, false, 3},
        {kSecondBackquote + "`", "`", 1, false, 3},
        {"x" + kSecondBackquote, "`", 1, false, -1},
        // case folding reaches the second byte of a double-byte character
        {"\x81\x61", kSecondA, 1, true, 1},
        {"\x81\x61", kSecondA, 1, false, -1},
        // start position
        {"abc", "a", 0, false, 1},
        {"abc", "a", -7, false, 1},
        {"abc", "c", 3, false, 3},
        {"abc", "a", 4, false, -1},
        {"abc", "a", 100, false, -1},
        {"abcabc", "abc", 2, false, 4},
        {"ab", "abc", 1, false, -1},
        {"", "a", 1, false, -1},
        // a lead byte without its second byte is never part of a match
        {"ab\x81", "\x81", 1, false, -1},
        {"ab\x81", "b\x81", 1, false, -1},
        {"\xB0\xA1\xB0\xA1", "\xA1\xB0", 1, false, -1},
        {"a\xB0\xA1\xB0\xA1", "\xB0\xA1", 2, false, 2},
        {"a\xB0\xA1\xB0\xA1", "\xB0\xA1", 4, false, 4},
    };
    for (const FindCase &c : cases) {
        SCOPED_TRACE(shown(c.text) + " / " + shown(c.sub) + " from " + std::to_string(c.start));
        EXPECT_EQ(findText(c.text, c.sub, c.start, c.caseInsensitive), c.expected);
    }
    EXPECT_EQ(findText("abc", "b"), 2); // defaults: from 1, case-sensitive
}

struct ReplaceCase {
    Text text;
    Text sub;
    Text replacement;
    int count;
    Text expected;
};

TEST(TextOperations, ReplaceText)
{
    const ReplaceCase cases[] = {
        {"a(b(c", "(", "(\r\n", 1, "a(\r\nb(c"},
        {"a(b(c", "(", "(\r\n", -1, "a(\r\nb(\r\nc"},
        {"aaa", "aa", "b", -1, "ba"},
        {"ab", "a", "aa", -1, "aab"}, // a replacement is not searched again
        {"`db`.`t`", "`", "", -1, "db.t"},
        {kSecondBackquote + "`", "`", "", -1, kSecondBackquote},
        {kSecondA + "A", "A", "b", -1, kSecondA + "b"},
        {kSecondBackslash + "\\", "\\", "/", -1, kSecondBackslash + "/"},
        {"abc", "", "x", -1, "abc"},
        {"", "a", "x", -1, ""},
        {"abc", "abcd", "x", -1, "abc"},
        {"abab", "ab", "x", 0, "abab"},
        {"ababab", "ab", "x", 2, "xxab"},
        {"a\x81", "\x81", "x", -1, "a\x81"},
        {"name=#\xD2\xFD\xBA\xC5", "#\xD2\xFD\xBA\xC5", "\"", -1, "name=\""},
    };
    for (const ReplaceCase &c : cases) {
        SCOPED_TRACE(shown(c.text) + " / " + shown(c.sub) + " count " + std::to_string(c.count));
        EXPECT_EQ(shown(replaceText(c.text, c.sub, c.replacement, c.count)), shown(c.expected));
    }
    EXPECT_EQ(replaceText("a.a", ".", "_"), "a_a"); // default: every occurrence
}

struct SplitCase {
    Text text;
    Text delimiter;
    std::vector<Text> expected;
};

TEST(TextOperations, SplitText)
{
    const SplitCase cases[] = {
        {"50|96|120", "|", {"50", "96", "120"}},
        {"a||b|", "|", {"a", "", "b"}},
        {"|a", "|", {"", "a"}},
        {"", "|", {}},
        {"|", "|", {""}},
        {"||", "|", {"", ""}},
        {"a\r\n\r\nb", "\r\n", {"a", "", "b"}},
        {"a\r\nb\r\n", "\r\n", {"a", "b"}},
        {"abc", "|", {"abc"}},
        {kSecondBar + "|x", "|", {kSecondBar, "x"}},
        {"a" + kSecondBackslash + "\\b", "\\", {"a" + kSecondBackslash, "b"}},
        {"a::b", "::", {"a", "b"}},
        {"abc", "", {"abc"}}, // an empty delimiter splits nothing (and never hangs)
        {"a|\x81", "|", {"a", "\x81"}},
    };
    for (const SplitCase &c : cases) {
        SCOPED_TRACE(shown(c.text) + " / " + shown(c.delimiter));
        std::vector<Text> pieces = splitText(c.text, c.delimiter);
        std::vector<std::string> got, want;
        for (const Text &p : pieces)
            got.push_back(shown(p));
        for (const Text &p : c.expected)
            want.push_back(shown(p));
        EXPECT_EQ(got, want);
    }
}

TEST(TextOperations, CuttingCountsRawBytes)
{
    struct Case {
        Text got;
        Text expected;
    } cases[] = {
        {leftText("ab", 5), "ab"},
        {leftText("ab", 1), "a"},
        {leftText("ab", 0), ""},
        {leftText("ab", -3), ""},
        {rightText("ab", 0), ""},
        {rightText("ab", 1), "b"},
        {rightText("ab", 5), "ab"},
        {rightText("ab", -1), ""},
        {midText("abc", 4, 1), ""},
        {midText("abc", 2, 5), "bc"},
        {midText("abc", 2, 1), "b"},
        {midText("abc", 3, 1), "c"},
        {midText("abc", 0, 2), ""},
        {midText("abc", 1, 0), ""},
        {midText("", 1, 1), ""},
        // a double-byte character may be cut in two
        {leftText("\xB0\xA1x", 1), "\xB0"},
        {rightText("x\xB0\xA1", 1), "\xA1"},
        {midText("\xB0\xA1\xB0\xA1", 2, 2), "\xA1\xB0"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(shown(cases[i].got), shown(cases[i].expected));
    }
    EXPECT_EQ(textLength(""), 0);
    EXPECT_EQ(textLength("\xB0\xA1x"), 3);
}

TEST(TextOperations, ToNumber)
{
    struct Case {
        Text text;
        double expected;
    } cases[] = {
        {"12", 12},
        {" 12", 12},
        {"\t\r\n\v\f12", 12},
        {"12px", 12},
        {"12.5", 12.5},
        {"", 0},
        {"px12", 0},
        {"\xA3\xB1\xA3\xB2", 12},                   // full-width 12
        {"\xA3\xAD\xA3\xB3\xA3\xAE\xA3\xB5", -3.5}, // full-width -3.5
        {"\xA1\xA1\xA3\xB7", 7},                    // ideographic space, full-width 7
        {"\xB0\xA1"
         "7",
         0}, // a Chinese character is not a number
        {"-3.5e2x", -350},
        {"+.5", 0.5},
        {"5.", 5},
        {".", 0},
        {"-", 0},
        {"1e", 1},
        {"1e+", 1},
        {"2E3", 2000},
        {"0x1A", 0},
        {"inf", 0},
        {"nan", 0},
        {"+-1", 0},
        {"007", 7},
        {"1,5", 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(shown(c.text));
        EXPECT_DOUBLE_EQ(toNumber(c.text), c.expected);
    }
    EXPECT_TRUE(std::isinf(toNumber("1e999")));
}

TEST(TextOperations, ToText)
{
    EXPECT_EQ(toText(-5), "-5");
    EXPECT_EQ(toText(0), "0");
    EXPECT_EQ(toText(100), "100");
    EXPECT_EQ(toText(INT_MIN), "-2147483648");
    struct Case {
        double number;
        Text expected;
    } cases[] = {
        {1.0, "1"},
        {-2.0, "-2"},
        {0.0, "0"},
        {100.0, "100"},
        {1234567890123.0, "1234567890123"},
        {1e13, "1e+13"},
        {0.5, "0.5"},
        {0.0001, "0.0001"},
        {0.00001, "1e-05"},
        {1.0 / 3, "0.3333333333333"},
        {2.5e-7, "2.5e-07"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(toText(c.number), c.expected);
    }
}

TEST(TextOperations, Compositions)
{
    const Text quote = "#\xD2\xFD\xBA\xC5"; // #引号
    struct Case {
        Text got;
        Text expected;
    } cases[] = {
        {textBefore("INT(10)-----", "-"), "INT(10)"},
        {textBefore("INT(10)", "-"), ""},
        {textBefore("-abc", "-"), ""},
        {textBefore(kSecondBar + "|x", "|"), kSecondBar},
        {trimMarker("50|96|", "|"), "50|96"},
        {trimMarker("|50|", "|"), "50"},
        {trimMarker("50||", "|"), "50|"},
        {trimMarker("|", "|"), ""},
        {trimMarker("||", "|"), ""},
        {trimMarker("|||", "|"), "|"},
        {trimMarker("", "|"), ""},
        {trimMarker("|a|", "||"), "|a|"},
        {trimMarker("", ""), ""}, // the empty marker "equals" the empty text's first byte
        {trimMarker("a", ""), "a"},
        {textBetween("select * from db.t ORDER BY name desc limit 100", "ORDER BY", "limit", true),
         " name desc "},
        {textBetween("select * from db.t order by name desc LIMIT 100", "ORDER BY", "limit", true),
         " name desc "},
        {textBetween("select * from db.t order by name desc limit 100", "ORDER BY", "limit", false), ""},
        {textBetween("select * from db.t ORDER BY name desc", "ORDER BY", "limit", true), ""},
        {textBetween("limit 1 ORDER BY x", "ORDER BY", "limit", true), ""},
        {textBetween("ab", "a", "b", false), ""},
        {textBetween("COMMENT 'x' name=\"v\" more", "name=" + quote, quote, false), "v"},
        {textBetween(kSecondA + "AxB", "A", "B", false), "x"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i));
        EXPECT_EQ(shown(cases[i].got), shown(cases[i].expected));
    }
}

TEST(TextOperations, TruncateToInt)
{
    EXPECT_EQ(truncateToInt(2.9), 2);
    EXPECT_EQ(truncateToInt(-2.9), -2);
    EXPECT_EQ(truncateToInt(0.0), 0);
    EXPECT_EQ(truncateToInt(1e20), INT_MAX);
    EXPECT_EQ(truncateToInt(-1e20), INT_MIN);
    EXPECT_EQ(truncateToInt(std::numeric_limits<double>::quiet_NaN()), 0);
    EXPECT_EQ(truncateToInt(toNumber("14.9")), 14);
}

// ---- GBK conversions ----

TEST(GbkConversion, KnownTexts)
{
    EXPECT_EQ("配置.ini"_gbk, "\xC5\xE4\xD6\xC3.ini");
    EXPECT_EQ("#引号"_gbk, "#\xD2\xFD\xBA\xC5");
    EXPECT_EQ(fromGbk("\xC5\xE4\xD6\xC3"), QString::fromUtf8("配置"));
    EXPECT_EQ(toGbk(QString::fromUtf8("信息：abc")), "信息：abc"_gbk);
    EXPECT_EQ(gbkToUtf8("\xC5\xE4\xD6\xC3 x"), "配置 x");
    EXPECT_EQ(utf8ToGbk("é　"), "\xA8\xA6\xA1\xA1");
    // second bytes that are ASCII characters stay part of their character
    EXPECT_EQ(fromGbk(kSecondBackslash + kSecondBackquote + kSecondA).size(), 3);
    EXPECT_EQ(toGbk(fromGbk(kSecondBackslash + kSecondBackquote + kSecondA)),
              kSecondBackslash + kSecondBackquote + kSecondA);
    // a zero byte is carried through, not an end
    EXPECT_EQ(fromGbk(std::string_view("a\0b", 3)), QString::fromUtf16(u"a\0b", 3));
    EXPECT_EQ(fromGbk(""), QString());
    EXPECT_EQ(toGbk(QString()), "");
}

TEST(GbkConversion, OutsideGbkBecomesQuestionMark)
{
    struct Case {
        std::string utf8;
        Text expected;
    } cases[] = {
        {"€", "?"},            // not in the server's gbk
        {"Ā", "?"},            // U+0100
        {"a😀b", "a?b"},        // beyond the BMP: one "?" for the whole character
        {"\xE4\xB8", "?"},     // truncated sequence
        {"\xC0\x80x", "?x"},   // overlong
        {"\xED\xA0\x80", "?"}, // an encoded surrogate
        {"\xFFz", "?z"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(shown(c.utf8));
        EXPECT_EQ(shown(utf8ToGbk(c.utf8)), shown(c.expected));
        if (QString::fromUtf8(c.utf8).toUtf8().toStdString() == c.utf8)
            EXPECT_EQ(shown(toGbk(QString::fromUtf8(c.utf8))), shown(c.expected));
    }
    EXPECT_EQ(toGbk(QString(QChar(0xD800)) + "x"), "?x"); // a stray surrogate
}

TEST(GbkConversion, InvalidGbkBecomesReplacementCharacter)
{
    const QChar bad(0xFFFD);
    struct Case {
        Text gbk;
        QString expected;
    } cases[] = {
        {"\x80", QString(bad)}, // the server's gbk has no 0x80
        {"\xFF", QString(bad)},
        {"a\x81", "a" + QString(bad)},    // truncated
        {"\x81\x30", QString(bad) + "0"}, // not a second byte: the ASCII byte survives
        {"\x81\x7F", QString(bad) + "\x7F"},
        {"\xAA\xA1", QString(bad)},        // user-defined area
        {"\xA2\xA0x", QString(bad) + "x"}, // unassigned code
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(shown(c.gbk));
        EXPECT_EQ(fromGbk(c.gbk), c.expected);
        EXPECT_EQ(gbkToUtf8(c.gbk), c.expected.toUtf8().toStdString());
    }
}

// Every double-byte code: the server's gbk decodes it to the same character
// (or refuses it), and every character comes back to the same two bytes.
TEST(GbkConversion, AgreesWithServerOnEveryDoubleByteCode)
{
    test::ScratchDatabase db("gbk");
    MYSQL *mysql = test::admin();
    const std::string query = "select seq, hex(convert(cast(unhex(hex(seq)) as char character set gbk) "
                              "using utf8mb4)) from " +
                              db.name() +
                              ".seq_33088_to_65278 where (seq & 255) >= 64 and "
                              "(seq & 255) not in (127, 255)";
    ASSERT_EQ(mysql_query(mysql, query.c_str()), 0) << mysql_error(mysql);
    MYSQL_RES *result = mysql_store_result(mysql);
    ASSERT_NE(result, nullptr) << mysql_error(mysql);
    int mapped = 0, checked = 0, mismatches = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        unsigned code = static_cast<unsigned>(std::stoul(row[0]));
        Text bytes{static_cast<char>(code >> 8), static_cast<char>(code & 0xFF)};
        QByteArray serverUtf8 = QByteArray::fromHex(row[1]);
        QString ours = fromGbk(bytes);
        ++checked;
        bool serverRefuses = serverUtf8 == "?";
        if (serverRefuses ? ours != QString(QChar(0xFFFD)) : ours != QString::fromUtf8(serverUtf8)) {
            if (++mismatches <= 10)
                ADD_FAILURE() << "code " << std::hex << code << ": server " << row[1] << ", ours "
                              << ours.toUtf8().toHex().toStdString();
            continue;
        }
        if (!serverRefuses) {
            ++mapped;
            EXPECT_EQ(toGbk(ours), bytes) << std::hex << code;
            EXPECT_EQ(utf8ToGbk(gbkToUtf8(bytes)), bytes) << std::hex << code;
        }
    }
    mysql_free_result(result);
    EXPECT_EQ(checked, 126 * 190);
    EXPECT_EQ(mismatches, 0);
    EXPECT_GT(mapped, 21000);
}

// Every UTF-16 character of the BMP becomes what the server makes of it in gbk.
TEST(GbkConversion, AgreesWithServerOnEveryBmpCharacter)
{
    test::ScratchDatabase db("gbk");
    MYSQL *mysql = test::admin();
    const std::string query = "select seq, hex(convert(char(seq using utf16) using gbk)) from " + db.name() +
                              ".seq_1_to_65535 where seq < 55296 or seq > 57343";
    ASSERT_EQ(mysql_query(mysql, query.c_str()), 0) << mysql_error(mysql);
    MYSQL_RES *result = mysql_store_result(mysql);
    ASSERT_NE(result, nullptr) << mysql_error(mysql);
    int mismatches = 0;
    while (MYSQL_ROW row = mysql_fetch_row(result)) {
        char16_t unit = static_cast<char16_t>(std::stoul(row[0]));
        QByteArray expected = QByteArray::fromHex(row[1]);
        Text ours = toGbk(QString(QChar(unit)));
        if (ours != expected.toStdString() && ++mismatches <= 10)
            ADD_FAILURE() << "U+" << std::hex << unsigned(unit) << ": server " << row[1];
    }
    mysql_free_result(result);
    EXPECT_EQ(mismatches, 0);
}

} // namespace

// The texts behind a cell edit, checked as texts: a value in the console and
// back, the placeholder's positions, the rows an update names, the id's
// type. The console's own behaviour is checked on a real QPlainTextEdit.
#include "workspace/CellEditText.h"
#include "text/Gbk.h"
#include "ui/Widgets.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <functional>

namespace morvane {
namespace {

Text g(const char *utf8)
{
    return utf8ToGbk(utf8);
}

// The console text with the bytes [at, at + length) replaced.
std::function<Text(const Text &)> replaced(std::size_t at, std::size_t length, Text with)
{
    return [=](const Text &shown) { return shown.substr(0, at) + with + shown.substr(at + length); };
}

TEST(ConsoleValue, EditsMapBackToTheValue)
{
    const Text longLine(10000, 'x');
    Text longGbk;
    for (int i = 0; i < 5000; ++i)
        longGbk += g("乗");
    Text longChanged = longGbk;
    longChanged.replace(2 * 4500, 2, g("錦"));
    const struct {
        const char *what;
        Text value;
        std::function<Text(const Text &)> edit;
        Text expected;
    } cases[] = {
        {"unchanged", "abc", [](const Text &s) { return s; }, "abc"},
        {"edited", "abc", [](const Text &) { return Text("abX"); }, "abX"},
        {"empty", "", [](const Text &) { return Text("new"); }, "new"},
        // Lone line feeds stay lone, also in what the user adds.
        {"lf unchanged", "a\nb", [](const Text &s) { return s; }, "a\nb"},
        {"lf added line", "a\nb", [](const Text &s) { return s + "\r\nc"; }, "a\nb\nc"},
        {"crlf added line", "a\r\nb", [](const Text &s) { return s + "\r\nc"; }, "a\r\nb\r\nc"},
        {"no line end yet", "ab", [](const Text &s) { return s + "\r\nc"; }, "ab\r\nc"},
        // A long line is shown in pieces; the breaks are not the value's.
        {"long unchanged", longLine, [](const Text &s) { return s; }, longLine},
        {"long one char", longLine, replaced(5002, 1, "y"),
         longLine.substr(0, 5000) + "y" + longLine.substr(5001)},
        {"long break removed", longLine, replaced(4096, 2, ""), longLine},
        {"long enter at a break", longLine, replaced(4098, 0, "\r\n"),
         longLine.substr(0, 4096) + "\r\n" + longLine.substr(4096)},
        {"long all replaced", longLine, [](const Text &) { return Text("z"); }, "z"},
        {"long gbk one char", longGbk, replaced(2 * 4500 + 2, 2, g("錦")), longChanged},
        // Characters sharing their first byte.
        {"gbk lead byte shared", g("乗乗"), [](const Text &) { return g("乗乣"); }, g("乗乣")},
        {"gbk trail byte shared", g("a乗"), [](const Text &) { return g("b乗"); }, g("b乗")},
    };
    for (const auto &c : cases) {
        const ConsoleValue cv = consoleValue(c.value);
        ASSERT_TRUE(cv.faithful) << c.what;
        EXPECT_FALSE(cv.cut) << c.what;
        EXPECT_EQ(valueFromConsole(c.value, cv, c.edit(cv.shown)), c.expected) << c.what;
    }
    // Pieces of a long line hold at most that many characters.
    const ConsoleValue cv = consoleValue(longGbk);
    EXPECT_EQ(cv.shown.size(), longGbk.size() + 2);
    EXPECT_EQ(cv.shown.substr(2 * 4096, 2), "\r\n");
}

TEST(ConsoleValue, BytesTheConsoleCannotHoldAreRefused)
{
    const struct {
        const char *what;
        Text value;
        bool faithful;
    } cases[] = {
        {"blob", Text("\x81\xFF\x5C\x27", 4), false},
        {"zero byte", Text("a\0b", 3), false},
        {"lone lead byte", Text("a\x81", 2), false},
        {"0x80", Text("\x80", 1), false},
        {"lone return", "a\rb", false},
        {"mixed line ends", "a\nb\r\nc", false},
        {"gbk punctuation trail", g("乗乣運錦誠謀"), true},
        {"quotes and backslashes", "it's \\ \"x\"", true},
        {"tabs", "a\tb", true},
        {"empty", "", true},
    };
    for (const auto &c : cases)
        EXPECT_EQ(consoleValue(c.value).faithful, c.faithful) << c.what;
}

TEST(ConsoleValue, AboveOneMegabyteOnlyTheStartIsShown)
{
    // One ASCII byte first, so the limit falls inside a double-byte character.
    Text value = "a";
    while (value.size() < 2 * kConsoleValueLimit)
        value += g("乗");
    const ConsoleValue cv = consoleValue(value);
    EXPECT_TRUE(cv.cut);
    EXPECT_FALSE(cv.faithful);
    const std::size_t kept = kConsoleValueLimit - 1; // whole characters only
    Text start;
    for (std::size_t i = 0; i < kept; ++i) {
        if (i > 0 && (i + 1) % (2 * kConsoleLineChars) == 0) start += "\r\n";
        start += value[i];
    }
    ASSERT_GT(cv.shown.size(), start.size());
    EXPECT_TRUE(cv.shown.substr(0, start.size()) == start);
    EXPECT_EQ(gbkToUtf8(cv.shown.substr(start.size())), "\r\n……（内容超过1MB，以下部分没有显示）");

    Text exactly(kConsoleValueLimit, 'x');
    EXPECT_FALSE(consoleValue(exactly).cut);
    EXPECT_TRUE(consoleValue(exactly + "x").cut);
}

// What consoleValue calls faithful really comes back from the console
// unchanged: every GBK character and every ASCII byte but the line ends.
TEST(ConsoleValue, FaithfulTextSurvivesTheRealConsole)
{
    Text all;
    for (int c = 1; c < 0x80; ++c)
        if (c != '\r' && c != '\n') all += char(c);
    for (int lead = 0x81; lead <= 0xFE; ++lead)
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            if (trail == 0x7F) continue;
            const Text ch{char(lead), char(trail)};
            if (toGbk(fromGbk(ch)) == ch) all += ch;
        }
    all += "\r\nend";
    const ConsoleValue cv = consoleValue(all);
    ASSERT_TRUE(cv.faithful);
    QPlainTextEdit console;
    setText(&console, cv.shown);
    const Text back = getText(&console);
    EXPECT_EQ(back, cv.shown);
    EXPECT_EQ(valueFromConsole(all, cv, back), all);

    const ConsoleValue lines = consoleValue("a\nb\n");
    setText(&console, lines.shown);
    EXPECT_EQ(valueFromConsole("a\nb\n", lines, getText(&console)), "a\nb\n");
}

TEST(UpdateTemplate, PlaceholdersOnlyWhereTheyStandAsAValue)
{
    const Text p = cellValuePlaceholder();
    const struct {
        const char *statement;
        const char *filled; // with the value x
    } cases[] = {
        {"update d.`[编辑框内容]` set v='[编辑框内容]' where id=1",
         "update d.`[编辑框内容]` set v='x' where id=1"},
        {"update t set `[编辑框内容]`='[编辑框内容]' where id=1",
         "update t set `[编辑框内容]`='x' where id=1"},
        // Written by hand: every place where it stands as a whole value.
        {"update t set a='[编辑框内容]', b='[编辑框内容]' where id=3",
         "update t set a='x', b='x' where id=3"},
        {"select '[编辑框内容]'", "select 'x'"},
        // Not inside other literals, names or comments.
        {"update t set a='x[编辑框内容]' where c='[编辑框内容]y'",
         "update t set a='x[编辑框内容]' where c='[编辑框内容]y'"},
        {"update t set a='[编辑框内容]' where c='it''s ''[编辑框内容]'''",
         "update t set a='x' where c='it''s ''[编辑框内容]'''"},
        {"update t set a='[编辑框内容]' where c='\\'[编辑框内容]\\''",
         "update t set a='x' where c='\\'[编辑框内容]\\''"},
        {"update t set a=\"[编辑框内容]\" -- '[编辑框内容]'\n",
         "update t set a=\"[编辑框内容]\" -- '[编辑框内容]'\n"},
        {"update t set a='[编辑框内容]' /* '[编辑框内容]' */ # '[编辑框内容]'",
         "update t set a='x' /* '[编辑框内容]' */ # '[编辑框内容]'"},
        // A backquote as the second byte of a GBK character ends no name.
        {"update `乗運錦` set a='[编辑框内容]'", "update `乗運錦` set a='x'"},
    };
    for (const auto &c : cases) {
        const Text statement = g(c.statement);
        EXPECT_EQ(gbkToUtf8(fillPlaceholders(statement, valuePlaceholders(statement), "x")), c.filled)
            << c.statement;
    }
    EXPECT_TRUE(valuePlaceholders("update t set a='" + p).empty());
}

TEST(UpdateTemplate, TableAndConditionOfAnUpdate)
{
    const struct {
        const char *statement;
        bool isUpdate;
        const char *table, *where;
    } cases[] = {
        {"update `da.b`.t set v='x' where id=7", true, "`da.b`.t", "id=7"},
        {"UPDATE low_priority IGNORE t SET a=1", true, "t", ""},
        {"update t set a=(select b from u where c=1) where id='where'", true, "t", "id='where'"},
        {"update t set v='set x where y' where id=1 limit 1", true, "t", "id=1 limit 1"},
        {"update `set` set `where`=1 WHERE `id`=2", true, "`set`", "`id`=2"},
        {"  update a join b on a.i=b.i set a.v=1 where b.k=2", true, "a join b on a.i=b.i", "b.k=2"},
        {"select '[编辑框内容]'", false, "", ""},
        {"updated t set a=1", false, "", ""},
        {"update t", false, "", ""},
    };
    for (const auto &c : cases) {
        Text table = "?";
        Text where = "?";
        EXPECT_EQ(updateTarget(g(c.statement), table, where), c.isUpdate) << c.statement;
        if (!c.isUpdate) continue;
        EXPECT_EQ(gbkToUtf8(table), c.table) << c.statement;
        EXPECT_EQ(gbkToUtf8(where), c.where) << c.statement;
    }
}

TEST(IdColumnType, NumbersCompareBareOnlyInNumericColumns)
{
    const struct {
        const char *type;
        bool numeric;
    } types[] = {
        {"int(11)", true},         {"bigint(20) unsigned", true},
        {"decimal(10,2)", true},   {"double", true},
        {"TINYINT(1)", true},      {"float unsigned zerofill", true},
        {"varchar(20)", false},    {"char(3)", false},
        {"datetime", false},       {"blob", false},
        {"enum('1','2')", false},  {"bit(8)", false},
        {"internal_thing", false}, {"", false},
    };
    for (const auto &t : types)
        EXPECT_EQ(isNumericColumnType(t.type), t.numeric) << t.type;
    const struct {
        const char *text;
        bool number;
    } numbers[] = {
        {"7", true},    {"-7", true},    {"7.0", true},       {"007", true}, {".5", true},
        {"1e10", true}, {"1E-3", true},  {"", false},         {"-", false},  {"1e", false},
        {"7 ", false},  {"0x1F", false}, {"1 or 1=1", false}, {"7a", false}, {".", false},
    };
    for (const auto &n : numbers)
        EXPECT_EQ(isPlainNumber(n.text), n.number) << n.text;
}

} // namespace
} // namespace morvane

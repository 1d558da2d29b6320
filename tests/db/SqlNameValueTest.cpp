#include "DbTest.h"

#include "support/TestServer.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::errorOf;
using test::mustExecute;
using test::queryValue;

// 誤 is D5 60 in GBK: its second byte is a backquote. 誠 is D5 5C: its
// second byte is a backslash.
const Text kBackquoteTrail = "\xD5\x60";
const Text kBackslashTrail = "\xD5\x5C";

struct NameCase {
    Text name;
    Text expected;
};

TEST(SqlName, PlainNamesStayAndOthersAreQuoted)
{
    const NameCase cases[] = {
        {"goods", "goods"},
        {"t_1$", "t_1$"},
        {"1abc", "1abc"},
        {"商品表"_gbk, "商品表"_gbk},
        // A GBK character whose second byte is ASCII punctuation needs quoting;
        // its second byte is never doubled.
        {kBackquoteTrail, "`" + kBackquoteTrail + "`"},
        {kBackslashTrail, "`" + kBackslashTrail + "`"},
        {"商品"_gbk + kBackquoteTrail, "`" + "商品"_gbk + kBackquoteTrail + "`"},
        {"abc" + kBackslashTrail, "`abc" + kBackslashTrail + "`"},
        // A lone lead byte at the end is kept apart from the closing quote.
        {"a\x81", "`a\x81 `"},
        {"\xD5\x60\x81", "`\xD5\x60\x81 `"},
        {"\xD5\x81", "\xD5\x81"}, // 0x81 here is the second byte
        {"order", "`order`"},
        {"ORDER", "`ORDER`"},
        {"Select", "`Select`"},
        {"database", "`database`"},
        {"my-db", "`my-db`"},
        {"a b", "`a b`"},
        {"a`b", "`a``b`"},
        {"`", "````"},
        {"a`" + kBackquoteTrail, "`a``" + kBackquoteTrail + "`"},
        {kBackquoteTrail + "-x", "`" + kBackquoteTrail + "-x`"},
        {"123", "`123`"},
        {"0", "`0`"},
        {"1e5", "`1e5`"},
        {"2E10x", "`2E10x`"},
        {"0x1F", "`0x1F`"},
        {"0b01", "`0b01`"},
        {"", "``"},
        {"\x81", "`\x81 `"}, // a lead byte with no second byte
        {"a.b", "`a.b`"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(sqlName(c.name), c.expected) << "name: " << gbkToUtf8(c.name);
}

// Every word the server will not take as a bare name must come back quoted:
// each keyword the server knows that sqlName leaves bare is tried as a table
// and column name.
TEST(SqlName, EveryWordTheServerReservesIsQuoted)
{
    test::ScratchDatabase db("kw");
    const int conn = test::openConnection();
    ASSERT_TRUE(selectDatabase(conn, db.name()));
    ASSERT_TRUE(execute(conn, "select word from information_schema.keywords"));
    const int rs = storeResult(conn);
    ASSERT_GT(rowCount(rs), 500u);
    std::vector<Text> words;
    for (std::uint64_t i = 0; i < rowCount(rs); ++i, nextRow(rs)) {
        Text word;
        readField(rs, 0, word);
        words.push_back(word);
    }
    freeResult(rs);

    int tried = 0;
    for (const Text &word : words) {
        const Text name = sqlName(word);
        if (name != word) continue;
        ++tried;
        const Text statements[] = {
            "create temporary table " + name + " (" + name + " int) engine=memory",
            "select " + name + " from " + name + " where " + name + " = 1",
            "drop temporary table " + name,
        };
        for (const Text &statement : statements) {
            EXPECT_TRUE(execute(conn, statement)) << statement << "\n  " << errorOf(conn);
            freeResult(storeResult(conn));
        }
    }
    EXPECT_GT(tried, 300);
}

TEST(SqlName, OrderTableInMyDbWorksOnTheServer)
{
    const int conn = test::openConnection();
    const Text database = "my-db-" + test::uniqueName("x");
    const Text table = sqlName(database) + "." + sqlName("order");
    ASSERT_TRUE(createDatabase(conn, sqlName(database))) << errorOf(conn);
    mustExecute(conn, "create table " + table + " (" + sqlName("key") + " int, " + sqlName("a`b") +
                          " varchar(20)) default charset gbk");
    mustExecute(conn, "insert into " + table + " values (1, '" + sqlValue(conn, "O'Brien") + "')");
    EXPECT_EQ(
        queryValue(conn, "select " + sqlName("a`b") + " from " + table + " where " + sqlName("key") + " = 1"),
        "O'Brien");
    EXPECT_TRUE(selectDatabase(conn, database));
    const Text gbkTable = sqlName("表"_gbk + kBackquoteTrail);
    mustExecute(conn, "create table " + gbkTable + " (" + sqlName(kBackquoteTrail + "-列"_gbk) + " int)");
    mustExecute(conn, "insert into " + gbkTable + " values (7)");
    EXPECT_EQ(queryValue(conn, "select " + sqlName(kBackquoteTrail + "-列"_gbk) + " from " + gbkTable), "7");
    EXPECT_EQ(queryValue(conn, "select count(*) from information_schema.tables where table_schema = '" +
                                   sqlValue(conn, database) + "'"),
              "2");
    EXPECT_TRUE(dropDatabase(conn, sqlName(database)));
}

// Each second byte of ASCII punctuation (and a few around it) decides
// alone whether the name goes bare.
TEST(SqlName, GbkSecondBytesThatAreAsciiPunctuationNeedQuotes)
{
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (trail == 0x7F) continue;
        const Text name = "\xB1" + Text(1, char(trail));
        const bool punctuation =
            trail == 0x40 || (trail >= 0x5B && trail <= 0x60) || (trail >= 0x7B && trail <= 0x7E);
        EXPECT_EQ(sqlName(name), punctuation ? "`" + name + "`" : name) << std::hex << trail;
    }
}

// The names that need quoting for these characters go through every
// statement composed for a table after a dot: create, open (columns, rows,
// its create statement), empty and drop; and a database so named too.
TEST(SqlName, GbkPunctuationNamesWorkAfterADot)
{
    const Text names[] = {
        "乗"_gbk, "乣"_gbk, "運"_gbk, "錦"_gbk, "誠"_gbk, "謀"_gbk, "表"_gbk + kBackquoteTrail,
        "表"_gbk, "a\x81"};
    const int conn = test::openConnection();
    for (const Text &name : names) {
        SCOPED_TRACE(gbkToUtf8(name));
        const bool valid = name.back() != '\x81';
        test::ScratchDatabase scratch("gp");
        const Text qualified = sqlQualifiedName(scratch.name(), name);
        const bool created =
            execute(conn, "create table " + qualified + " (" + sqlName(name) + " int) default charset gbk");
        if (!valid) {
            // The quote is closed: the server sees the name and refuses it.
            EXPECT_FALSE(created);
            EXPECT_NE(errorOf(conn).find("Invalid gbk character string"), Text::npos) << errorOf(conn);
            continue;
        }
        ASSERT_TRUE(created) << errorOf(conn);
        mustExecute(conn, "insert into " + qualified + " values (5)");
        EXPECT_EQ(queryValue(conn, "show full columns from " + qualified), name);
        EXPECT_EQ(queryValue(conn, "select " + sqlName(name) + " from " + qualified + " limit 100"), "5");
        EXPECT_EQ(queryValue(conn, "show create table " + qualified), name);
        mustExecute(conn, "truncate " + qualified);
        EXPECT_EQ(queryValue(conn, "select count(*) from " + qualified), "0");
        mustExecute(conn, "drop table " + qualified);
        EXPECT_EQ(
            test::adminQueryValue("select count(*) from information_schema.tables where table_schema = '" +
                                  scratch.name() + "'"),
            "0");

        const Text database = name + "_" + test::uniqueName("d");
        ASSERT_TRUE(createDatabase(conn, sqlName(database))) << errorOf(conn);
        EXPECT_TRUE(selectDatabase(conn, database)) << errorOf(conn);
        mustExecute(conn, "create table " + sqlQualifiedName(database, name) + " (a int)");
        EXPECT_EQ(queryValue(conn, "select count(*) from " + sqlQualifiedName(database, name)), "0");
        EXPECT_TRUE(dropDatabase(conn, sqlName(database))) << errorOf(conn);
    }
}

struct ValueCase {
    Text value;
    Text escaped;
};

// Without a connection the value is escaped as the client library escapes
// for GBK; with one the library itself does it, and both must agree.
TEST(SqlValue, EscapesSingleByteSpecialsOnlyOutsideGbkCharacters)
{
    const ValueCase cases[] = {
        {"plain", "plain"},
        {"O'Brien", "O\\'Brien"},
        {"say \"hi\"", "say \\\"hi\\\""},
        {"back\\slash", "back\\\\slash"},
        {"a\nb\rc\x1a", "a\\nb\\rc\\Z"},
        {kBackslashTrail, kBackslashTrail},
        {kBackslashTrail + "'", kBackslashTrail + "\\'"},
        // 0x27 is no GBK second byte: the lone lead byte is escaped too, so the
        // server cannot pair it with the backslash before the quote.
        {"\xD5\x27", "\\\xD5\\'"},
        {"a\x81", "a\\\x81"},
        {"\\" + kBackquoteTrail + "\\", "\\\\" + kBackquoteTrail + "\\\\"},
        {"", ""},
    };
    const int conn = test::openConnection();
    for (const auto &c : cases) {
        EXPECT_EQ(sqlValue(0, c.value), c.escaped) << gbkToUtf8(c.value);
        EXPECT_EQ(sqlValue(conn, c.value), c.escaped) << gbkToUtf8(c.value);
    }
}

TEST(SqlValue, GbkValueWithQuoteAndBackslashTrailRoundTrips)
{
    test::ScratchDatabase db("val");
    const int conn = test::openConnection();
    ASSERT_TRUE(selectDatabase(conn, db.name()));
    mustExecute(conn, "create table t (id int, v varchar(100)) default charset gbk");
    const Text values[] = {
        kBackslashTrail + "'; drop table t; -- " + kBackslashTrail,
        "O'Brien " + kBackslashTrail + "\\" + kBackquoteTrail + "\"\n",
        "'" + kBackslashTrail,
    };
    int id = 0;
    for (const Text &value : values) {
        ++id;
        mustExecute(conn, "insert into t values (" + toText(id) + ", '" + sqlValue(conn, value) + "')");
        EXPECT_EQ(queryValue(conn, "select v from t where id = " + toText(id)), value);
        EXPECT_EQ(queryValue(conn, "select hex(v) from t where id = " + toText(id)),
                  queryValue(conn, "select hex(_gbk'" + sqlValue(0, value) + "')"));
    }
    EXPECT_EQ(queryValue(conn, "select count(*) from t"), toText(id));
}

} // namespace
} // namespace morvane

#include "DbTest.h"

#include "db/ErrorText.h"
#include "support/TestServer.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::errorOf;
using test::mustExecute;

struct Refusal {
    std::string statement;
    std::string translated; // UTF-8 here, GBK on the wire
};

// The server's own messages for statements it refuses, as the user sees them.
TEST(ServerErrorText, TranslatesWhatTheServerReallySays)
{
    test::ScratchDatabase db("err");
    const int conn = test::openConnection();
    ASSERT_TRUE(selectDatabase(conn, db.name()));
    mustExecute(conn, "create table t (a int primary key)");
    mustExecute(conn, "insert into t values (1)");
    mustExecute(conn, "create table 商品 (a int)"_gbk);

    const Refusal refusals[] = {
        {"selec 1",
         "你有一个错误在您的SQL语法; 检查手册对应于你的MySQL服务器版本附近使用正确的语法 'selec 1' at line 1"},
        {"create table t (b int)", "Table 't' 已经存在"},
        {"create table 商品 (b int)", "Table '商品' 已经存在"},
        {"insert into t values (1)", "重复的条目 '1' for key 'PRIMARY'"},
        {"drop table nosuch", "未知的表 '" + db.name() + ".nosuch'"},
        {"insert into t values (2, 3)", "列数不匹配 value count at row 1"},
        {"alter table t add a int", "重复的列名 'a'"},
        {"create table u (a int primary key, b int primary key)", "多个主键定义"},
    };
    for (const Refusal &r : refusals) {
        SCOPED_TRACE(r.statement);
        ASSERT_FALSE(execute(conn, utf8ToGbk(r.statement)));
        const Text translated = serverErrorText(conn);
        EXPECT_EQ(gbkToUtf8(translated), r.translated);
        // Untranslated on request; translating that gives the same text.
        const Text raw = serverErrorText(conn, false);
        EXPECT_EQ(raw, errorOf(conn));
        EXPECT_EQ(translateServerError(raw), translated);
    }

    mustExecute(conn, "do 1");
    EXPECT_EQ(serverErrorText(conn), "");
    EXPECT_EQ(serverErrorText(0), "");
}

struct Translation {
    const char *text;
    const char *expected; // UTF-8
};

TEST(TranslateServerError, PhrasesAreReplacedExactlyAndEverywhere)
{
    const Translation cases[] = {
        // What a MySQL server says for a syntax error: phrase 1, a space,
        // phrase 2, then the statement part and line number untouched.
        {"You have an error in your SQL syntax; check the manual that corresponds to your MySQL server "
         "version for the right syntax to use near 'fro t' at line 1",
         "你有一个错误在您的SQL语法; 检查手册对应于你的MySQL服务器版本附近使用正确的语法 'fro t' at line 1"},
        {"Lost connection to MySQL server during query", "失去了连接到MySQL服务器中查询"},
        // The same two phrases as a MariaDB server and Connector/C word them.
        {"You have an error in your SQL syntax; check the manual that corresponds to your MariaDB server "
         "version for the right syntax to use near 'fro t' at line 1",
         "你有一个错误在您的SQL语法; 检查手册对应于你的MySQL服务器版本附近使用正确的语法 'fro t' at line 1"},
        {"Lost connection to server during query", "失去了连接到MySQL服务器中查询"},
        {"lost connection to server during query", "lost connection to server during query"},
        {"Unknown table 'a', Unknown table 'b'", "未知的表 'a', 未知的表 'b'"},
        {"unknown table 'a'", "unknown table 'a'"},
        {"Table 'x' ALREADY EXISTS", "Table 'x' ALREADY EXISTS"},
        {"Duplicate entry 'Unknown table' for key 'k'", "重复的条目 '未知的表' for key 'k'"},
        {"Column count doesn't match value count at row 2", "列数不匹配 value count at row 2"},
        {"Multiple primary key defined", "多个主键定义"},
        {"Duplicate column name 'already exists'", "重复的列名 '已经存在'"},
        {"Access denied for user 'x'@'localhost'", "Access denied for user 'x'@'localhost'"},
        {"", ""},
    };
    for (const Translation &c : cases)
        EXPECT_EQ(gbkToUtf8(translateServerError(c.text)), c.expected) << c.text;

    // GBK text around a phrase is kept byte for byte.
    const Text gbk = "表 '誠誤' already exists"_gbk;
    EXPECT_EQ(translateServerError(gbk), "表 '誠誤' 已经存在"_gbk);
}

} // namespace
} // namespace morvane

#include "DbTest.h"

#include "db/ErrorText.h"
#include "db/ResultTable.h"
#include "support/TestServer.h"

#include <pwd.h>
#include <unistd.h>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::errorOf;
using test::mustExecute;
using test::queryValue;

class ConnectionTest : public ::testing::Test {
protected:
    // One connection for the whole suite, opened by the first test.
    void SetUp() override
    {
        if (s_connection == 0) s_connection = test::openConnection();
        ASSERT_NE(s_connection, 0);
    }
    static int s_connection;
    int conn() const { return s_connection; }
};
int ConnectionTest::s_connection = 0;

// Handle 0, a handle never given out, a freed record set and a handle of the
// other kind are all "none": no effect, empty answers, variables untouched.
TEST_F(ConnectionTest, NoneHandlesHaveNoEffect)
{
    mustExecute(conn(), "select 1");
    const int freed = storeResult(conn());
    ASSERT_NE(freed, 0);
    freeResult(freed);
    freeResult(freed); // a second release is harmless

    for (const int rs : {0, 987654321, -5, freed, conn()}) {
        SCOPED_TRACE(rs);
        Text value = "untouched";
        EXPECT_EQ(rowCount(rs), 0u);
        EXPECT_FALSE(readField(rs, "1", value));
        EXPECT_FALSE(readField(rs, 0, value));
        EXPECT_FALSE(nextRow(rs));
        freeResult(rs);
        EXPECT_EQ(value, "untouched");
    }
    for (const int c : {0, 987654321, freed}) {
        SCOPED_TRACE(c);
        Text value = "untouched";
        EXPECT_FALSE(execute(c, "select 1"));
        EXPECT_EQ(storeResult(c), 0);
        EXPECT_FALSE(createDatabase(c, "x"));
        EXPECT_FALSE(dropDatabase(c, "x"));
        EXPECT_FALSE(selectDatabase(c, "mysql"));
        EXPECT_FALSE(lastError(c, value));
        EXPECT_EQ(value, "untouched");
        EXPECT_EQ(rowsMatched(c), -1);
        EXPECT_EQ(serverErrorText(c), "");
        ResultTable table;
        EXPECT_FALSE(fetchResultTable(c, table));
        EXPECT_EQ(table.rowCount(), 0u);
    }
    // The real connection was not disturbed by any of it.
    EXPECT_EQ(queryValue(conn(), "select 2"), "2");
}

TEST_F(ConnectionTest, EmptyTextsReachTheLocalServerAsTheLoginUser)
{
    const passwd *pw = getpwuid(geteuid());
    ASSERT_NE(pw, nullptr);
    EXPECT_EQ(queryValue(conn(), "select current_user()"), Text(pw->pw_name) + "@localhost");
    // The client library is told the connection is GBK before the first statement.
    const int fresh = connect("", "", "");
    ASSERT_NE(fresh, 0);
    EXPECT_EQ(queryValue(fresh, "select concat(@@character_set_client, ' ', @@character_set_results)"),
              "gbk gbk");
}

TEST_F(ConnectionTest, ServerAddressAndRefusedLogin)
{
    const int tcp = connect("127.0.0.1", "", "");
    ASSERT_NE(tcp, 0);
    EXPECT_EQ(queryValue(tcp, "select 5"), "5");
    EXPECT_EQ(connect("", test::uniqueName("nobody"), "wrong"), 0);
}

TEST_F(ConnectionTest, StatementsWithoutRowsLeaveNoRecordSet)
{
    for (const Text statement : {"set names gbk", "selec 1", "do 1"}) {
        SCOPED_TRACE(statement);
        execute(conn(), statement);
        const int rs = storeResult(conn());
        EXPECT_EQ(rs, 0);
        Text value = "untouched";
        EXPECT_EQ(rowCount(rs), 0u);
        EXPECT_FALSE(nextRow(rs));
        EXPECT_FALSE(readField(rs, 0, value));
        EXPECT_EQ(value, "untouched");
        freeResult(rs);
    }
    EXPECT_FALSE(execute(conn(), ""));
    EXPECT_NE(errorOf(conn()), "");
}

TEST_F(ConnectionTest, CursorMovesOnlyByNextRowAndReadsTheLastRowPastTheEnd)
{
    mustExecute(conn(), "select 'a' as v, 1 as n union all select 'b', 2 union all select 'c', 3");
    const int rs = storeResult(conn());
    ASSERT_EQ(rowCount(rs), 3u);
    Text v, again;
    EXPECT_TRUE(readField(rs, "v", v));
    EXPECT_TRUE(readField(rs, "v", again));
    EXPECT_EQ(v, "a");
    EXPECT_EQ(again, "a");
    const char *expected[] = {"b", "c", "c"};
    for (const char *want : expected) {
        EXPECT_TRUE(nextRow(rs));
        EXPECT_TRUE(readField(rs, 0, v));
        EXPECT_EQ(v, want);
    }
    EXPECT_FALSE(nextRow(rs)); // the fourth call: already past the end
    EXPECT_TRUE(readField(rs, "n", v));
    EXPECT_EQ(v, "3");
    freeResult(rs);
}

TEST_F(ConnectionTest, ReadFieldFailsWithoutRowsOrColumn)
{
    mustExecute(conn(), "select 1 as a from dual where false");
    int rs = storeResult(conn());
    ASSERT_NE(rs, 0);
    EXPECT_EQ(rowCount(rs), 0u);
    Text value = "untouched";
    EXPECT_FALSE(readField(rs, "a", value));
    EXPECT_FALSE(readField(rs, 0, value));
    EXPECT_FALSE(nextRow(rs));
    EXPECT_EQ(value, "untouched");
    freeResult(rs);

    mustExecute(conn(), "show databases");
    rs = storeResult(conn());
    ASSERT_GT(rowCount(rs), 0u);
    EXPECT_FALSE(readField(rs, "database", value)); // the column is "Database"
    EXPECT_FALSE(readField(rs, 1, value));          // one column only
    EXPECT_FALSE(readField(rs, -1, value));
    EXPECT_EQ(value, "untouched");
    EXPECT_TRUE(readField(rs, "Database", value));
    EXPECT_NE(value, "untouched");
    freeResult(rs);
}

TEST_F(ConnectionTest, NullReadsEmptyAndZeroByteEndsTheValue)
{
    mustExecute(conn(), "select NULL as a, concat('ab', char(0), 'cd') as b, 'x' as a");
    const int rs = storeResult(conn());
    Text value = "old";
    EXPECT_TRUE(readField(rs, "a", value)); // the first of two equal names
    EXPECT_EQ(value, "");
    EXPECT_TRUE(readField(rs, "b", value));
    EXPECT_EQ(value, "ab");
    EXPECT_TRUE(readField(rs, 2, value));
    EXPECT_EQ(value, "x");
    freeResult(rs);
}

TEST_F(ConnectionTest, RecordSetOutlivesLaterStatements)
{
    mustExecute(conn(), "select 'kept' as k");
    const int rs = storeResult(conn());
    mustExecute(conn(), "select 'other'");
    const int other = storeResult(conn());
    freeResult(other);
    Text value;
    EXPECT_TRUE(readField(rs, "k", value));
    EXPECT_EQ(value, "kept");
    freeResult(rs);
}

TEST_F(ConnectionTest, DatabasesAreCreatedSelectedAndDropped)
{
    const Text name = test::uniqueName("cdb");
    ASSERT_TRUE(createDatabase(conn(), name)) << errorOf(conn());
    EXPECT_FALSE(createDatabase(conn(), name));
    EXPECT_TRUE(selectDatabase(conn(), name));
    EXPECT_EQ(queryValue(conn(), "select database()"), name);
    EXPECT_TRUE(dropDatabase(conn(), name));
    EXPECT_FALSE(dropDatabase(conn(), name));
    EXPECT_FALSE(selectDatabase(conn(), name));

    // The name goes out unquoted, so a space makes the server refuse it.
    EXPECT_FALSE(createDatabase(conn(), "two words"));
    EXPECT_NE(errorOf(conn()).find("near 'words'"), Text::npos) << errorOf(conn());
    EXPECT_EQ(test::adminQueryValue("select count(*) from information_schema.schemata where schema_name in "
                                    "('two words', 'two')"),
              "0");
}

TEST_F(ConnectionTest, PendingRowsBlockTheNextStatementAndGoToTheNextStore)
{
    mustExecute(conn(), "select 'first' union all select 'second'");
    EXPECT_FALSE(execute(conn(), "select 'third'"));
    EXPECT_NE(errorOf(conn()).find("out of sync"), Text::npos) << errorOf(conn());
    EXPECT_FALSE(selectDatabase(conn(), "mysql"));
    EXPECT_FALSE(createDatabase(conn(), test::uniqueName("never")));

    const int rs = storeResult(conn());
    ASSERT_EQ(rowCount(rs), 2u);
    Text value;
    readField(rs, 0, value);
    EXPECT_EQ(value, "first");
    freeResult(rs);
    EXPECT_EQ(queryValue(conn(), "select 'ready'"), "ready");
}

// A procedure answering with two results: the first is taken, the rest is
// dropped, and the connection stays usable.
TEST_F(ConnectionTest, ProcedureResultsDoNotBlockTheConnection)
{
    test::ScratchDatabase db("proc");
    ASSERT_TRUE(selectDatabase(conn(), db.name()));
    mustExecute(conn(), "create procedure p() begin select 'one'; select 'two'; end");
    mustExecute(conn(), "create procedure q() begin do 1; end");
    mustExecute(conn(), "call p()");
    const int rs = storeResult(conn());
    Text value;
    EXPECT_TRUE(readField(rs, 0, value));
    EXPECT_EQ(value, "one");
    freeResult(rs);
    EXPECT_EQ(queryValue(conn(), "select 'after store'"), "after store");

    ResultTable table;
    mustExecute(conn(), "call p()");
    EXPECT_TRUE(fetchResultTable(conn(), table));
    EXPECT_EQ(table.cell(0, 0), "one");
    mustExecute(conn(), "call q()");
    EXPECT_EQ(queryValue(conn(), "select 'after fetch'"), "after fetch");
}

TEST_F(ConnectionTest, LastErrorIsClearedBySuccess)
{
    EXPECT_FALSE(execute(conn(), "selec 1"));
    Text text = "old";
    EXPECT_TRUE(lastError(conn(), text));
    EXPECT_EQ(text.rfind("You have an error in your SQL syntax;", 0), 0u) << text;

    mustExecute(conn(), "do 1");
    text = "old";
    EXPECT_FALSE(lastError(conn(), text));
    EXPECT_EQ(text, "old");
}

TEST_F(ConnectionTest, RowsMatchedComesFromTheUpdateInfo)
{
    test::ScratchDatabase db("rm");
    mustExecute(conn(), "create table " + db.name() + ".t (a int)");
    mustExecute(conn(), "insert into " + db.name() + ".t values (1), (1), (2)");
    mustExecute(conn(), "update " + db.name() + ".t set a = 1 where a >= 1");
    EXPECT_EQ(rowsMatched(conn()), 3);
    mustExecute(conn(), "update " + db.name() + ".t set a = 1 where a = 5");
    EXPECT_EQ(rowsMatched(conn()), 0);
    mustExecute(conn(), "do 1");
    EXPECT_EQ(rowsMatched(conn()), -1);
}

TEST_F(ConnectionTest, FetchResultTableStreamsEveryRow)
{
    ResultTable table;
    mustExecute(conn(), "select seq, if(seq % 10 = 0, NULL, concat('r', seq)) as v, "
                        "concat('a', char(0), 'b') as z from seq_1_to_5000");
    ASSERT_TRUE(fetchResultTable(conn(), table)) << errorOf(conn());
    ASSERT_EQ(table.columnCount(), 3);
    ASSERT_EQ(table.rowCount(), 5000u);
    EXPECT_EQ(table.cell(0, 0), "1");
    EXPECT_EQ(table.cell(4999, 1), ""); // 5000 % 10 == 0: NULL
    EXPECT_EQ(table.cell(4998, 1), "r4999");
    EXPECT_EQ(table.cell(9, 1), "");
    EXPECT_EQ(table.cell(0, 2), std::string_view("a\0b", 3)); // the grid keeps every byte

    // Nothing pending now: false and an empty table, the connection still usable.
    EXPECT_FALSE(fetchResultTable(conn(), table));
    EXPECT_EQ(table.rowCount(), 0u);
    EXPECT_EQ(table.columnCount(), 0);
    mustExecute(conn(), "do 1");
    EXPECT_FALSE(fetchResultTable(conn(), table));

    // Rows of an empty answer: true, the columns known, no rows.
    mustExecute(conn(), "select 1 as a, 2 as b from dual where false");
    EXPECT_TRUE(fetchResultTable(conn(), table));
    EXPECT_EQ(table.columnCount(), 2);
    EXPECT_EQ(table.rowCount(), 0u);
    EXPECT_EQ(queryValue(conn(), "select 'ready'"), "ready");
}

} // namespace
} // namespace morvane

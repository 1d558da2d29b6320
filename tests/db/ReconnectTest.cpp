#include "DbTest.h"

#include "db/ErrorText.h"
#include "support/TestServer.h"
#include "text/Gbk.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace morvane {
namespace {

using test::errorOf;
using test::mustExecute;
using test::queryValue;
using Clock = std::chrono::steady_clock;

Text connectionId(int connection)
{
    return queryValue(connection, "select connection_id()");
}

// The server drops a connection that sits idle: the next statement never
// reached it, so the layer reopens the connection and sends the statement
// once, with GBK and the default database as they were.
struct DroppedCase {
    const char *how;
    bool useStatement; // "use db" instead of selectDatabase
};

class ReopenAfterKill : public ::testing::TestWithParam<DroppedCase> {};

TEST_P(ReopenAfterKill, StatementIsSentOnceOnAReopenedConnection)
{
    test::ScratchDatabase db("re");
    const int conn = test::openConnection();
    if (GetParam().useStatement)
        mustExecute(conn, "use " + db.name());
    else
        ASSERT_TRUE(selectDatabase(conn, db.name()));
    mustExecute(conn, "create table t (v varchar(10)) default charset gbk");
    mustExecute(conn, " SET NAMES gbk "); // the one setting every reopened session has too
    const Text before = connectionId(conn);
    test::adminExec("kill " + before);

    ASSERT_TRUE(execute(conn, "insert into t values ('" + "中文"_gbk + "')")) << errorOf(conn);
    EXPECT_EQ(test::adminQueryValue("select count(*) from " + db.name() + ".t"), "1");
    EXPECT_EQ(test::adminQueryValue("select hex(v) from " + db.name() + ".t"), "D6D0CEC4");
    EXPECT_NE(connectionId(conn), before);
    EXPECT_EQ(queryValue(conn, "select database()"), db.name());
    EXPECT_EQ(queryValue(conn, "select concat(@@character_set_client, ' ', @@character_set_connection, ' ', "
                               "@@character_set_results)"),
              "gbk gbk gbk");
    EXPECT_EQ(queryValue(conn, "select v from t"), "中文"_gbk);
    Text error = "untouched";
    EXPECT_FALSE(lastError(conn, error));
}

INSTANTIATE_TEST_SUITE_P(DefaultDatabase, ReopenAfterKill,
                         ::testing::Values(DroppedCase{"selectDatabase", false}, DroppedCase{"use", true}),
                         [](const auto &info) { return std::string(info.param.how); });

const Text kLostSession = "与服务器的连接断开后已重连，本语句未执行；未提交的事务和会话设置已丢失"_gbk;

// Runs a statement, taking and dropping any rows it returns.
void run(int conn, const Text &statement)
{
    mustExecute(conn, statement);
    freeResult(storeResult(conn));
}

// What the lost session did since it opened decides whether the statement
// that found it gone may run on a reopened one: only when the reopened
// session is the same in all that matters. Otherwise the statement fails
// unsent and the session after it is a fresh one.
struct SessionCase {
    const char *how;
    std::vector<const char *> before; // run on the session that is then killed
    bool resent;
    // Once the reports are off, the database cannot be followed and a
    // reopened session has none.
    bool databaseKept = true;
};

class ReopenedSession : public ::testing::TestWithParam<SessionCase> {};

TEST_P(ReopenedSession, StatementRunsOnlyWhereTheLostSessionHeldNothingMore)
{
    test::ScratchDatabase db("rx");
    const int conn = test::openConnection();
    ASSERT_TRUE(selectDatabase(conn, db.name()));
    run(conn, "create table t (a int) engine=innodb");
    run(conn, "insert into t values (1)");
    for (const char *statement : GetParam().before)
        run(conn, statement);
    const Text count = "select count(*) from " + db.name() + ".t";
    const Text before = connectionId(conn);
    test::adminExec("kill " + before);

    const bool ok = execute(conn, "delete from t");
    EXPECT_EQ(ok, GetParam().resent) << errorOf(conn);
    if (GetParam().resent) {
        EXPECT_EQ(test::adminQueryValue(count), "0");
    } else {
        EXPECT_EQ(errorOf(conn), kLostSession);
        EXPECT_EQ(serverErrorText(conn), kLostSession); // as the console shows it
        EXPECT_EQ(test::adminQueryValue(count), "1");   // as committed before
    }
    // Either way the session now is a fresh one with GBK, the database and
    // the server's defaults.
    EXPECT_NE(connectionId(conn), before);
    EXPECT_EQ(queryValue(conn, "select database()"), GetParam().databaseKept ? db.name() : "");
    EXPECT_EQ(queryValue(conn,
                         "select concat(@@character_set_client, ' ', @@autocommit, ' ', @@sql_safe_updates, "
                         "' ', @@in_transaction, ' ', @@tx_isolation)"),
              "gbk ON OFF 0 REPEATABLE-READ");
    EXPECT_EQ(queryValue(conn, "select count(*) from information_schema.user_variables"), "0");
    // Nothing of the lost session is held against the fresh one.
    const Text fresh = connectionId(conn);
    test::adminExec("kill " + fresh);
    EXPECT_TRUE(execute(conn, "insert into " + db.name() + ".t values (9)")) << errorOf(conn);
    EXPECT_EQ(queryValue(conn, count + " where a = 9"), "1");
}

INSTANTIATE_TEST_SUITE_P(
    Sessions, ReopenedSession,
    ::testing::Values(
        SessionCase{"plain",
                    {"select 1", "update t set a = a",
                     "select 'x:=y', \"@z\", 'a''b\\'c get_lock @', `a@` from "
                     "(select 1 as `a@`) as d"},
                    true},
        SessionCase{"committed", {"start transaction", "insert into t values (2)", "commit"}, true},
        SessionCase{"ownSettings", {"SET NAMES GBK", "set names gbk"}, true},
        SessionCase{"transaction", {"start transaction", "insert into t values (2)"}, false},
        SessionCase{"readOnlyTransaction", {"start transaction read only", "select count(*) from t"}, false},
        SessionCase{"autocommitOff", {"set autocommit=0"}, false},
        SessionCase{"autocommitOffNothingRun", {"set autocommit=0", "select 1"}, false},
        SessionCase{"safeUpdates", {"set sql_safe_updates=1"}, false},
        SessionCase{"otherNames", {"set names latin1"}, false},
        SessionCase{"userVariable", {"set @keep = 1"}, false},
        SessionCase{"variableSetInAQuery", {"select @keep := 1"}, false},
        SessionCase{"temporaryTable", {"create temporary table tmp (a int)"}, false},
        SessionCase{"variableSetByInto", {"select 1 into @keep"}, false},
        SessionCase{"tableLock", {"lock tables t write"}, false},
        SessionCase{"namedLock", {"do get_lock('k', 0)"}, false},
        SessionCase{"openHandler", {"handler t open"}, false},
        SessionCase{"nextTransaction", {"set transaction isolation level serializable"}, false},
        SessionCase{"preparedStatement", {"prepare s from 'delete from t'"}, false},
        SessionCase{"reportsTurnedOff",
                    {"set session_track_state_change=0, session_track_schema=0", "set sql_safe_updates=1"},
                    false,
                    false}),
    [](const auto &info) { return std::string(info.param.how); });

// The one the program sent last is not what counts: the reopened session
// gets the default database the server last reported for the lost one,
// none included.
TEST(Reopen, DefaultDatabaseIsTheOneTheServerLastReported)
{
    test::ScratchDatabase a1("a1");
    test::ScratchDatabase a2("a2");
    test::adminExec("create table " + a1.name() + ".t1 (a int)");
    test::adminExec("create table " + a2.name() + ".t1 (a int)");
    const int conn = test::openConnection();

    ASSERT_TRUE(selectDatabase(conn, a1.name()));
    mustExecute(conn, "use " + a2.name());
    test::adminExec("kill " + connectionId(conn));
    EXPECT_TRUE(execute(conn, "create table t2 (a int)")) << errorOf(conn);
    EXPECT_EQ(test::adminQueryValue("select group_concat(table_schema) from information_schema.tables where "
                                    "table_name = 't2' and table_schema in ('" +
                                    a1.name() + "', '" + a2.name() + "')"),
              a2.name());

    // Left without a database: dropping a1's table by its bare name must not
    // find one.
    mustExecute(conn, "drop database " + a2.name());
    const Text before = connectionId(conn);
    test::adminExec("kill " + before);
    EXPECT_FALSE(execute(conn, "drop table t1"));
    EXPECT_NE(errorOf(conn).find("No database selected"), Text::npos) << errorOf(conn);
    EXPECT_NE(connectionId(conn), before);
    EXPECT_EQ(test::adminQueryValue("select count(*) from information_schema.tables where table_schema = '" +
                                    a1.name() + "' and table_name = 't1'"),
              "1");

    // With the reports turned off a database chosen later is not seen: the
    // reopened session gets none rather than the last one reported.
    ASSERT_TRUE(selectDatabase(conn, a1.name()));
    mustExecute(conn, "set session_track_schema=0");
    mustExecute(conn, "use mysql");
    test::adminExec("kill " + connectionId(conn));
    EXPECT_FALSE(execute(conn, "drop table t1"));
    EXPECT_EQ(errorOf(conn), kLostSession);
    EXPECT_FALSE(execute(conn, "drop table t1"));
    EXPECT_NE(errorOf(conn).find("No database selected"), Text::npos) << errorOf(conn);
    EXPECT_EQ(test::adminQueryValue("select count(*) from information_schema.tables where table_schema = '" +
                                    a1.name() + "' and table_name = 't1'"),
              "1");
}

TEST(Reopen, SelectDatabaseAfterKillReopensToo)
{
    test::ScratchDatabase db("rs");
    const int conn = test::openConnection();
    test::adminExec("kill " + connectionId(conn));
    EXPECT_TRUE(selectDatabase(conn, db.name())) << errorOf(conn);
    EXPECT_EQ(queryValue(conn, "select database()"), db.name());
}

// Lost while the server was running it: the server may have done the work,
// so the statement is not sent again; the one after it reopens.
TEST(Reopen, NothingIsResentAfterTheConnectionIsLostDuringTheStatement)
{
    test::ScratchDatabase db("lost");
    const int conn = test::openConnection();
    ASSERT_TRUE(selectDatabase(conn, db.name()));
    mustExecute(conn, "create table t (a int) engine=innodb");
    const Text id = connectionId(conn);

    // A second connection kills this one once the statement is running.
    std::thread killer([id] {
        MYSQL *m = mysql_init(nullptr);
        if (!mysql_real_connect(m, nullptr, "root", nullptr, nullptr, 0, nullptr, 0)) return;
        const std::string probe = "select count(*) from information_schema.processlist where id = " + id +
                                  " and info like 'insert%'";
        for (int i = 0; i < 200; ++i) {
            mysql_real_query(m, probe.data(), probe.size());
            MYSQL_RES *res = mysql_store_result(m);
            MYSQL_ROW row = res ? mysql_fetch_row(res) : nullptr;
            const bool running = row && row[0] && std::string(row[0]) == "1";
            if (res) mysql_free_result(res);
            if (running) break;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        const std::string kill = "kill " + id;
        mysql_real_query(m, kill.data(), kill.size());
        mysql_close(m);
    });
    const auto start = Clock::now();
    const bool ok = execute(conn, "insert into t select sleep(4)");
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    killer.join();

    EXPECT_FALSE(ok);
    EXPECT_NE(errorOf(conn).find("Lost connection"), Text::npos) << errorOf(conn);
    // The user reads it wholly in Chinese, whichever client library wrote it.
    EXPECT_EQ(gbkToUtf8(serverErrorText(conn)), "失去了连接到MySQL服务器中查询") << errorOf(conn);
    EXPECT_LT(seconds, 4.0); // a second run would have slept the full time
    EXPECT_EQ(test::adminQueryValue("select count(*) from " + db.name() + ".t"), "0");

    EXPECT_TRUE(execute(conn, "insert into t values (1)")) << errorOf(conn);
    EXPECT_EQ(test::adminQueryValue("select count(*) from " + db.name() + ".t"), "1");
}

// A server that takes the connection but never answers: connect gives up
// after the connect limit (shortened here so the test stays quick). The
// library's default port is the sandbox's; the silent listener takes that
// port on another loopback address.
TEST(ConnectLimit, SilentServerIsGivenUp)
{
    EXPECT_EQ(connectTimeout(), 20u);
    const char *port = std::getenv("MYSQL_TCP_PORT");
    ASSERT_NE(port, nullptr) << "the test main exports the sandbox's TCP port";
    const int listener = socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(listener, 0);
    const int on = 1;
    setsockopt(listener, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(std::uint16_t(std::atoi(port)));
    inet_pton(AF_INET, "127.0.0.2", &address.sin_addr);
    ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
    ASSERT_EQ(listen(listener, 4), 0);

    setConnectTimeout(2);
    const auto start = Clock::now();
    const int conn = connect("127.0.0.2", "", "");
    const auto seconds = std::chrono::duration<double>(Clock::now() - start).count();
    setConnectTimeout(20);
    close(listener);

    EXPECT_EQ(conn, 0);
    EXPECT_GE(seconds, 1.5);
    EXPECT_LT(seconds, 10.0);
}

} // namespace
} // namespace morvane

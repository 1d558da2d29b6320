// Waiting on the server: the window stays alive while a statement runs, a
// box shows what runs after a moment, 取消 ends the statement on the server
// or gives up a connect attempt, and nothing else can start meanwhile.
#include "support/BusyBox.h"
#include "support/WindowFixture.h"

#include "db/Connection.h"
#include "db/ResultTable.h"
#include "mainwindow/AppState.h"
#include "ui/BusyWait.h"
#include "ui/Widgets.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <thread>
#include <vector>

namespace morvane::test {
namespace {

// Runs `check` once after `ms` milliseconds, inside whatever wait is going on.
void after(int ms, std::function<void()> check)
{
    QTimer::singleShot(ms, qApp, std::move(check));
}

void clickCancel(QWidget *box)
{
    auto *cancel = box->findChild<QPushButton *>(QStringLiteral("busyCancel"));
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(cancel->text(), QStringLiteral("取消"));
    QTest::mouseClick(cancel, Qt::LeftButton);
}

int runningCount(const std::string &statement)
{
    return std::stoi(adminQueryValue("select count(*) from information_schema.processlist where info = '" +
                                     statement + "'"));
}

// The server's id of the program's connection, asked over it.
std::string connectionId()
{
    const int connection = appState().connection;
    if (!execute(connection, "select connection_id()")) return {};
    const int rows = storeResult(connection);
    Text id;
    readField(rows, 0, id);
    freeResult(rows);
    return id;
}

class BusyWaitTest : public ConsoleTestBase {};

TEST_F(BusyWaitTest, BoxShowsWhatRunsAndTheHandlerSeesTheResultAfterwards)
{
    const std::string statement = "select sleep(2)";
    type(statement);
    QString shownWhat;
    bool sawBox = false;
    bool stillTyped = false;
    after(500, [&] {
        QWidget *box = findBusyBox();
        sawBox = box != nullptr;
        if (box) {
            shownWhat = box->findChild<QLabel *>(QStringLiteral("busyWhat"))->text();
            EXPECT_TRUE(box->isModal());
        }
        // The handler has not gone on yet.
        stillTyped = consoleText() == statement;
    });
    run();
    EXPECT_TRUE(sawBox);
    EXPECT_EQ(shownWhat.toStdString(), statement);
    EXPECT_TRUE(stillTyped);
    EXPECT_EQ(consoleText(), statement + "\r\n\r\n执行成功！\r\n");
    EXPECT_EQ(findBusyBox(), nullptr);
}

TEST_F(BusyWaitTest, InputDuringTheWaitIsDropped)
{
    const std::string statement = "select sleep(1.5)";
    type(statement);
    // Before the box appears and while it shows: another 执行sql, typing and
    // closing the window all come to nothing.
    for (int ms : {100, 600}) {
        after(ms, [&] {
            run();
            QTest::keyClicks(f.window->sqlConsole, QStringLiteral("x"));
            f.window->close();
        });
    }
    run();
    EXPECT_EQ(consoleText(), statement + "\r\n\r\n执行成功！\r\n");
    EXPECT_TRUE(f.window->isVisible());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(BusyWaitTest, CancelEndsTheStatementOnTheServerAndTheConnectionStaysUsable)
{
    const std::string statement = "select sleep(10)";
    const std::string idBefore = connectionId();
    ASSERT_FALSE(idBefore.empty());
    type(statement);
    QElapsedTimer sinceCancel;
    after(500, [&] {
        QWidget *box = findBusyBox();
        ASSERT_NE(box, nullptr);
        sinceCancel.start();
        clickCancel(box);
    });
    run();
    ASSERT_TRUE(sinceCancel.isValid()) << consoleText();
    EXPECT_LT(sinceCancel.elapsed(), 1500);
    // The server answers the interrupted statement before its thread clears
    // the statement from the process list: it must be gone within 1 s of 取消.
    while (runningCount(statement) != 0 && sinceCancel.elapsed() < 1000)
        QTest::qWait(20);
    EXPECT_EQ(runningCount(statement), 0) << sinceCancel.elapsed() << " ms after 取消";
    EXPECT_EQ(consoleText(), statement + "\r\n\r\n执行失败！\r\n查询已被取消\r\n");

    type("select 1");
    run();
    EXPECT_EQ(consoleText(), "select 1\r\n\r\n执行成功！\r\n");
    // The same session: an interrupted statement is no lost connection.
    EXPECT_EQ(connectionId(), idBefore);
}

// Every call that waits on the server hands that part to the waiter, which
// may run it on another thread; the results are those of running it inline.
std::vector<std::string> g_waitedFor;
bool g_allOnOtherThread = true;

bool recordingWaiter(const WaitInfo &info, const std::function<void()> &work)
{
    g_waitedFor.push_back(info.connecting ? "connect" : gbkToUtf8(info.what));
    const std::thread::id gui = std::this_thread::get_id();
    std::thread worker([&] {
        g_allOnOtherThread = g_allOnOtherThread && std::this_thread::get_id() != gui;
        work();
    });
    worker.join();
    return true;
}

TEST(RoundTrips, AllGoThroughTheWaiter)
{
    ScratchDatabase db("rt");
    g_waitedFor.clear();
    setRoundTripWaiter(recordingWaiter);
    const int c = connect("", "root", "");
    ASSERT_NE(c, 0);
    const std::string other = db.name() + "_x";
    EXPECT_TRUE(createDatabase(c, other));
    EXPECT_TRUE(dropDatabase(c, other));
    EXPECT_TRUE(selectDatabase(c, db.name()));
    EXPECT_TRUE(execute(c, "select 1 union select 2"));
    const int rows = storeResult(c);
    EXPECT_EQ(rowCount(rows), 2u);
    freeResult(rows);
    EXPECT_TRUE(execute(c, "select 3"));
    ResultTable table;
    EXPECT_TRUE(fetchResultTable(c, table));
    EXPECT_EQ(table.cell(0, 0), "3");
    EXPECT_TRUE(execute(c, "select 4"));
    EXPECT_TRUE(discardResult(c));
    installBusyWait();
    const std::vector<std::string> expected = {"connect",
                                               "create database " + other,
                                               "drop database " + other,
                                               "use " + db.name(),
                                               "select 1 union select 2",
                                               "select 1 union select 2", // its rows
                                               "select 3",
                                               "select 3",
                                               "select 4",
                                               "select 4"};
    EXPECT_EQ(g_waitedFor, expected);
    EXPECT_TRUE(g_allOnOtherThread);
}

} // namespace
} // namespace morvane::test

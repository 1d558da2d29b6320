// The SQL console: the whole box runs as one statement and the outcome is
// appended, failures with the translated server text.
#include "support/WindowFixture.h"

#include "console/SqlConsole.h"
#include "db/ErrorText.h"
#include "schema/SchemaTree.h"
#include "ui/Widgets.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextDocument>

namespace morvane::test {
namespace {

const std::string kSuccess = "\r\n\r\n执行成功！\r\n";
const std::string kFailure = "\r\n\r\n执行失败！\r\n";

// What the admin connection is told for the same statement, translated.
std::string translatedRefusal(const std::string &statement)
{
    MYSQL *m = admin();
    const Text gbk = utf8ToGbk(statement);
    if (mysql_real_query(m, gbk.data(), gbk.size()) == 0) {
        ADD_FAILURE() << "expected the server to refuse: " << statement;
        return {};
    }
    return gbkToUtf8(translateServerError(mysql_error(m)));
}

class ConsoleTest : public ConsoleTestBase {
protected:
    ScratchDatabase db{"sc"};
};

TEST_F(ConsoleTest, AppendsTheOutcome)
{
    adminExec("create table " + db.name() + ".dup (id int)");
    struct Case {
        std::string statement;
        bool ok;
        const char *phrase; // must appear in the translated text
    } cases[] = {
        {"create table " + db.name() + ".made (id int)", true, ""},
        {"insert into " + db.name() + ".made values (1),(2)", true, ""},
        {"selec 1", false, "你有一个错误在您的SQL语法;"},
        {"create table " + db.name() + ".dup (id int)", false, "已经存在"},
        {"drop table " + db.name() + ".nothere", false, "未知的表"},
        {"", false, "Query was empty"}, // left in English
    };
    for (const Case &c : cases) {
        type(c.statement);
        run();
        if (c.ok) {
            EXPECT_EQ(consoleText(), c.statement + kSuccess);
        } else {
            const std::string refusal = translatedRefusal(c.statement);
            EXPECT_NE(refusal.find(c.phrase), std::string::npos) << refusal;
            EXPECT_EQ(consoleText(), c.statement + kFailure + refusal + "\r\n");
        }
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
    EXPECT_EQ(adminQueryValue("select count(*) from " + db.name() + ".made"), "2");
}

TEST_F(ConsoleTest, SecondRunSendsTheOutcomeLinesToo)
{
    const std::string statement = "create table " + db.name() + ".once (id int)";
    type(statement);
    run();
    ASSERT_EQ(consoleText(), statement + kSuccess);
    run();
    const std::string first = statement + kSuccess;
    const std::string refusal = translatedRefusal(first);
    EXPECT_EQ(consoleText(), first + kFailure + refusal + "\r\n");
    EXPECT_NE(refusal.find("你有一个错误在您的SQL语法;"), std::string::npos);
}

TEST_F(ConsoleTest, WithoutConnectionOnlyTheFailureLines)
{
    appState().connection = 0;
    type("select 1");
    run();
    EXPECT_EQ(consoleText(), "select 1" + kFailure + "\r\n");
}

TEST_F(ConsoleTest, RowsOfAQueryDoNotBlockTheConnection)
{
    adminExec("create table " + db.name() + ".after_query (id int)");
    populateSchemaTree(*f.window, {});
    for (const std::string statement : std::vector<std::string>{
             "show databases", "select * from " + db.name() + ".after_query", "select @@version"}) {
        type(statement);
        run();
        EXPECT_EQ(consoleText(), statement + kSuccess);
    }
    // The next statements of the program still work: a database's tables load.
    const int item = f.child(0, db.name());
    f.doubleClick(item);
    EXPECT_EQ(f.children(item), std::vector<std::string>{"after_query"});
    type("select 2");
    run();
    EXPECT_EQ(consoleText(), "select 2" + kSuccess);
}

TEST_F(ConsoleTest, AppendScrollsToTheEnd)
{
    std::string many;
    for (int i = 0; i < 80; ++i)
        many += "-- line " + std::to_string(i) + "\n";
    f.window->sqlConsole->setPlainText(QString::fromStdString(many + "select 1"));
    f.window->sqlConsole->moveCursor(QTextCursor::Start);
    run();
    QApplication::processEvents();
    QPlainTextEdit *box = f.window->sqlConsole;
    EXPECT_GT(box->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(box->textCursor().atEnd());
    EXPECT_TRUE(box->viewport()->rect().contains(box->cursorRect()));
    EXPECT_TRUE(consoleText().ends_with(kSuccess));
}

TEST_F(ConsoleTest, AnOutcomeIsNotAnUndoStep)
{
    // Typed text can be undone; the appended outcome cannot be taken back.
    type("select 1");
    ASSERT_TRUE(f.window->sqlConsole->document()->isUndoAvailable());
    run();
    ASSERT_EQ(consoleText(), "select 1" + kSuccess);
    EXPECT_FALSE(f.window->sqlConsole->document()->isUndoAvailable());
    QTest::keyClick(f.window->sqlConsole, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(consoleText(), "select 1" + kSuccess);
    // The box still records the user's own edits afterwards.
    QTest::keyClicks(f.window->sqlConsole, "x");
    EXPECT_TRUE(f.window->sqlConsole->document()->isUndoAvailable());
}

} // namespace
} // namespace morvane::test

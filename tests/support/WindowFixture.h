#pragma once
// A started main window for GUI tests: a fresh run directory with its own
// data/配置.ini, the scripted dialog seam, the start-up sequence run and the
// window shown. Shared by the schema, console, designer and settings tests.
#include "app/Startup.h"
#include "config/Settings.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "support/ScriptedDialogs.h"
#include "support/TestServer.h"
#include "text/Gbk.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidgetItemIterator>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace morvane::test {

// A database with exactly the given name, dropped at the end.
class NamedDatabase {
public:
    explicit NamedDatabase(std::string name) : m_name(std::move(name))
    {
        adminExec("create database " + quoted(m_name));
    }
    ~NamedDatabase() { adminExec("drop database if exists " + quoted(m_name)); }
    NamedDatabase(const NamedDatabase &) = delete;
    NamedDatabase &operator=(const NamedDatabase &) = delete;
    const std::string &name() const { return m_name; }
    static std::string quoted(const std::string &name) { return "`" + name + "`"; }

private:
    std::string m_name;
};

inline bool serverHasDatabase(const std::string &name)
{
    return adminQueryValue("select count(*) from information_schema.schemata where schema_name = '" + name +
                           "'") == "1";
}

inline bool serverHasTable(const std::string &db, const std::string &table)
{
    return adminQueryValue("select count(*) from information_schema.tables where table_schema = '" + db +
                           "' and table_name = '" + table + "'") == "1";
}

// Database names in server order (GBK), as "show databases" gives them.
inline std::vector<std::string> serverDatabases()
{
    std::vector<std::string> names;
    MYSQL *m = admin();
    if (mysql_query(m, "show databases") != 0) return names;
    if (MYSQL_RES *res = mysql_store_result(m)) {
        while (MYSQL_ROW row = mysql_fetch_row(res))
            names.emplace_back(row[0]);
        mysql_free_result(res);
    }
    return names;
}

// Types the text into a control key by key; characters beyond ASCII come as
// key events carrying their text, as an input method delivers them.
inline void typeInto(QWidget *control, const std::string &utf8)
{
    for (const QChar ch : QString::fromStdString(utf8)) {
        if (ch.unicode() < 0x80) {
            QTest::keyClick(control, ch.toLatin1());
        } else {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(control, &press);
            QApplication::sendEvent(control, &release);
        }
    }
}

class WindowFixture {
public:
    // `ini` is the UTF-8 text of data/配置.ini; empty keys connect as the
    // login user over the sandbox socket.
    explicit WindowFixture(const std::string &ini = {}) { prepare(ini); }

    void prepare(const std::string &ini)
    {
        resetAppState();
        setRunDirectory(dir.path().toStdString());
        QDir(dir.path()).mkpath("data");
        writeIni(ini);
    }

    void writeIni(const std::string &ini)
    {
        QFile file(QString::fromStdString(configPath()));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        const Text bytes = utf8ToGbk(ini);
        file.write(bytes.data(), static_cast<qint64>(bytes.size()));
    }

    std::string setting(const char *section, const char *key) const
    {
        return gbkToUtf8(readSetting(utf8ToGbk(section), utf8ToGbk(key)));
    }

    void start()
    {
        window = std::make_unique<MainWindow>();
        runStartup(*window);
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    }

    TreeView &tree() const { return *window->schemaTree; }

    std::string text(int item) const { return gbkToUtf8(tree().treeItemText(item)); }

    // Index of the child of `parent` with this (UTF-8) text, or -1.
    int child(int parent, const std::string &name) const
    {
        const Text gbk = utf8ToGbk(name);
        for (int i = parent + 1; i < tree().treeItemCount(); ++i) {
            if (tree().treeParent(i) == parent && tree().treeItemText(i) == gbk) return i;
        }
        return -1;
    }

    std::vector<std::string> children(int parent) const
    {
        std::vector<std::string> names;
        for (int i = parent + 1; i < tree().treeItemCount(); ++i) {
            if (tree().treeParent(i) == parent) names.push_back(gbkToUtf8(tree().treeItemText(i)));
        }
        return names;
    }

    // Expands the item's parent and scrolls the item into view.
    void showItem(int item)
    {
        const int parent = tree().treeParent(item);
        if (parent >= 0) tree().treeExpand(parent);
        QTreeWidgetItemIterator it(&tree());
        for (int i = 0; *it && i < item; ++i)
            ++it;
        if (*it) tree().scrollToItem(*it);
        QApplication::processEvents();
    }

    void doubleClick(int item)
    {
        showItem(item);
        QWidget *viewport = tree().viewport();
        const QRect rect = tree().treeItemRect(item);
        ASSERT_TRUE(rect.isValid()) << "item " << item << " is not on screen";
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, rect.center());
    }

    void rightPress(int item)
    {
        showItem(item);
        const QRect rect = tree().treeItemRect(item);
        ASSERT_TRUE(rect.isValid()) << "item " << item << " is not on screen";
        QTest::mousePress(tree().viewport(), Qt::RightButton, {}, rect.center());
    }

    // Clicks an item of a pop-up menu that is showing.
    static void pick(QMenu *menu, QAction *action)
    {
        ASSERT_TRUE(menu->isVisible());
        ASSERT_TRUE(action->isEnabled());
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
    }

    // Right-presses the item, expects `menu` to pop up and clicks `action`.
    void command(int item, QMenu *menu, QAction *action)
    {
        rightPress(item);
        pick(menu, action);
        QApplication::processEvents();
    }

    ScriptedDialogs dialogs;
    QTemporaryDir dir;
    std::unique_ptr<MainWindow> window;
};

// A started window driven through its SQL console.
class ConsoleTestBase : public ::testing::Test {
protected:
    void SetUp() override { f.start(); }
    std::string consoleText() const { return gbkToUtf8(getText(f.window->sqlConsole)); }
    void type(const std::string &statement)
    {
        f.window->sqlConsole->clear();
        QTest::keyClicks(f.window->sqlConsole, QString::fromStdString(statement));
    }
    void run() { QTest::mouseClick(f.window->runSqlButton, Qt::LeftButton); }
    WindowFixture f;
};

} // namespace morvane::test

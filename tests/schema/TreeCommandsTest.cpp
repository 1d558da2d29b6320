// The commands of the tree's pop-up menus and of 设置/首选项, picked with real
// clicks from the menus the right press shows, against the sandbox server.
#include "support/WindowFixture.h"

#include "designer/NewTableWindow.h"
#include "schema/SchemaTree.h"
#include "schema/TreeCommands.h"
#include "settings/SettingsWindow.h"

#include <QAction>
#include <QMenuBar>

namespace morvane::test {
namespace {

class CommandsTest : public ::testing::Test {
protected:
    void SetUp() override { f.start(); }
    void rebuild() { populateSchemaTree(*f.window, {}); }
    // The database item, loaded.
    int loaded(const std::string &db)
    {
        const int item = f.child(0, db);
        EXPECT_GE(item, 0) << db;
        f.doubleClick(item);
        return item;
    }
    WindowFixture f;
};

TEST_F(CommandsTest, NewDatabase)
{
    ScratchDatabase anchor("nd");
    const std::string plain = uniqueName("nd");
    const std::string dashed = uniqueName("nd-x");
    const std::string padded = uniqueName("nd");
    struct Case {
        std::optional<std::string> answer;
        bool created;
        std::string name = {}; // the database made, when not the answer itself
    } cases[] = {
        {plain, true},
        {dashed, true},                        // needs backquotes
        {" \t" + padded + "  ", true, padded}, // blanks around it are no part of it
        {std::nullopt, false},                 // cancelled
        {std::string(), false},                // empty name: refused, nothing said
        {"   ", false},                        // blanks only: as empty
        {anchor.name(), false},                // exists already: refused, nothing said
    };
    for (const Case &c : cases) {
        rebuild();
        const std::string label = c.answer ? *c.answer : "<cancel>";
        const int rootChildren = static_cast<int>(f.children(0).size());
        const int count = f.tree().treeItemCount();
        f.dialogs.inputAnswers.push_back(c.answer);
        f.command(f.child(0, anchor.name()), f.window->databaseMenu, f.window->newDatabaseAction);
        EXPECT_TRUE(f.dialogs.inputAnswers.empty()) << label;
        EXPECT_TRUE(f.dialogs.messages.empty()) << label;
        if (c.created) {
            const std::string name = c.name.empty() ? *c.answer : c.name;
            EXPECT_TRUE(serverHasDatabase(name)) << label;
            ASSERT_EQ(f.tree().treeItemCount(), count + 1) << label;
            const int item = count; // last child of the root is the last item
            EXPECT_EQ(f.tree().treeParent(item), 0);
            EXPECT_EQ(f.text(item), name);
            EXPECT_EQ(f.tree().treeImage(item), 0);
            EXPECT_EQ(f.tree().treeSelectedImage(item), 0);
            EXPECT_EQ(f.tree().treeItemValue(item), 0);
            adminExec("drop database " + NamedDatabase::quoted(name));
        } else {
            EXPECT_EQ(static_cast<int>(f.children(0).size()), rootChildren) << label;
            EXPECT_EQ(f.tree().treeItemCount(), count) << label;
        }
    }
}

TEST_F(CommandsTest, NewDatabaseShownEvenWhenHidden)
{
    ScratchDatabase anchor("nh");
    const std::string name = uniqueName("nh");
    const Text hidden = utf8ToGbk(name + "|");
    populateSchemaTree(*f.window, hidden);
    f.dialogs.inputAnswers.push_back(name);
    f.command(f.child(0, anchor.name()), f.window->databaseMenu, f.window->newDatabaseAction);
    EXPECT_GE(f.child(0, name), 0);
    // Left out again at the next rebuild.
    populateSchemaTree(*f.window, hidden);
    EXPECT_EQ(f.child(0, name), -1);
    adminExec("drop database " + name);
}

TEST_F(CommandsTest, DropDatabaseAsksFirst)
{
    for (const std::string prefix : {"dd", "dd-x"}) {
        NamedDatabase db(uniqueName(prefix));
        adminExec("create table " + NamedDatabase::quoted(db.name()) + ".t (id int)");
        rebuild();
        const int item = loaded(db.name());
        ASSERT_EQ(f.children(item).size(), 1u);
        const std::string question = "确定要删除数据库 " + db.name() + " 吗？";

        f.dialogs.yesNoAnswers = {false};
        f.command(item, f.window->databaseMenu, f.window->dropDatabaseAction);
        EXPECT_EQ(f.dialogs.questions, std::vector<std::string>{question});
        EXPECT_TRUE(serverHasDatabase(db.name()));
        EXPECT_EQ(f.child(0, db.name()), item);

        f.dialogs.yesNoAnswers = {true};
        const int count = f.tree().treeItemCount();
        f.command(item, f.window->databaseMenu, f.window->dropDatabaseAction);
        EXPECT_EQ(f.dialogs.questions, (std::vector<std::string>{question, question}));
        EXPECT_FALSE(serverHasDatabase(db.name()));
        EXPECT_EQ(f.child(0, db.name()), -1);
        EXPECT_EQ(f.tree().treeItemCount(), count - 2); // with its table
        EXPECT_TRUE(f.dialogs.messages.empty());
        f.dialogs.questions.clear();
    }
}

TEST_F(CommandsTest, DropDatabaseFailureSaysSo)
{
    NamedDatabase db(uniqueName("df"));
    rebuild();
    const int item = f.child(0, db.name());
    adminExec("drop database " + db.name());
    f.dialogs.yesNoAnswers = {true};
    f.command(item, f.window->databaseMenu, f.window->dropDatabaseAction);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"删除失败"});
    EXPECT_EQ(f.child(0, db.name()), item);
}

struct TableCase {
    const char *dbPrefix;
    const char *table;
};

class TableCommandsTest : public CommandsTest, public ::testing::WithParamInterface<TableCase> {};

TEST_P(TableCommandsTest, DropTableAsksFirst)
{
    NamedDatabase db(uniqueName(GetParam().dbPrefix));
    const std::string table = GetParam().table;
    const std::string q = utf8ToGbk(NamedDatabase::quoted(db.name()) + ".`" + table + "`");
    adminExec("create table " + q + " (id int)");
    adminExec("create table " + NamedDatabase::quoted(db.name()) + ".other (id int)");
    rebuild();
    const int dbItem = loaded(db.name());
    const int item = f.child(dbItem, table);
    ASSERT_GT(item, dbItem);
    const std::string question = "确定要删除表 " + db.name() + "." + table + " 吗？";

    f.dialogs.yesNoAnswers = {false};
    f.command(item, f.window->tableMenu, f.window->dropTableAction);
    EXPECT_EQ(f.dialogs.questions, std::vector<std::string>{question});
    EXPECT_TRUE(serverHasTable(db.name(), utf8ToGbk(table)));
    EXPECT_EQ(f.child(dbItem, table), item);

    f.dialogs.yesNoAnswers = {true};
    f.command(item, f.window->tableMenu, f.window->dropTableAction);
    EXPECT_FALSE(serverHasTable(db.name(), utf8ToGbk(table)));
    EXPECT_EQ(f.children(dbItem), std::vector<std::string>{"other"});
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Gone already: the item stays and the failure is said.
    const int other = f.child(dbItem, "other");
    adminExec("drop table " + NamedDatabase::quoted(db.name()) + ".other");
    f.dialogs.yesNoAnswers = {true};
    f.command(other, f.window->tableMenu, f.window->dropTableAction);
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"删除表失败"});
    EXPECT_EQ(f.child(dbItem, "other"), other);
}

TEST_P(TableCommandsTest, TruncateTableAsksFirst)
{
    NamedDatabase db(uniqueName(GetParam().dbPrefix));
    const std::string table = GetParam().table;
    const std::string q = utf8ToGbk(NamedDatabase::quoted(db.name()) + ".`" + table + "`");
    adminExec("create table " + q + " (id int)");
    adminExec("insert into " + q + " values (1), (2)");
    rebuild();
    const int dbItem = loaded(db.name());
    const int item = f.child(dbItem, table);
    const std::string qualified = db.name() + "." + table;

    f.dialogs.yesNoAnswers = {false};
    f.command(item, f.window->tableMenu, f.window->truncateTableAction);
    EXPECT_EQ(f.dialogs.questions, std::vector<std::string>{"确定要清空表 " + qualified + " 吗？"});
    EXPECT_EQ(adminQueryValue("select count(*) from " + q), "2");
    EXPECT_TRUE(f.dialogs.messages.empty());

    f.dialogs.yesNoAnswers = {true};
    const int count = f.tree().treeItemCount();
    f.command(item, f.window->tableMenu, f.window->truncateTableAction);
    EXPECT_EQ(adminQueryValue("select count(*) from " + q), "0");
    EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{qualified + "已清空"});
    EXPECT_EQ(f.tree().treeItemCount(), count);

    adminExec("drop table " + q);
    f.dialogs.yesNoAnswers = {true};
    f.command(item, f.window->tableMenu, f.window->truncateTableAction);
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{qualified + "已清空", "删除表失败"}));
    EXPECT_EQ(f.child(dbItem, table), item);
}

INSTANTIATE_TEST_SUITE_P(Names, TableCommandsTest,
                         ::testing::Values(TableCase{"tc", "plain"}, TableCase{"tc-x", "order"},
                                           TableCase{"tc", "my table"}, TableCase{"tc", "乗"},
                                           TableCase{"tc", "表誤"}));

TEST_F(CommandsTest, RootItemsOfTheTableMenuDoNothing)
{
    f.rightPress(0);
    ASSERT_TRUE(f.window->tableMenu->isVisible());
    for (QAction *a : {f.window->newTableAction, f.window->dropTableAction, f.window->truncateTableAction})
        EXPECT_FALSE(a->isEnabled());
    f.window->tableMenu->hide();
    // Even when reached some other way, they act on no table.
    const int count = f.tree().treeItemCount();
    appState().designTargetItem = 7;
    newTableCommand(*f.window);
    dropTableCommand(*f.window);
    truncateTableCommand(*f.window);
    EXPECT_EQ(f.dialogs.modalCount, 0);
    EXPECT_TRUE(f.dialogs.questions.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
    EXPECT_EQ(f.tree().treeItemCount(), count);
    EXPECT_EQ(appState().designTargetItem, 7);
}

TEST_F(CommandsTest, NewTableFromBothMenusSetsTheTarget)
{
    ScratchDatabase db("nt");
    adminExec("create table " + db.name() + ".t (id int)");
    rebuild();
    const int dbItem = loaded(db.name());
    const int table = f.child(dbItem, "t");
    struct Case {
        int item;
        QMenu *menu;
        QAction *action;
    } cases[] = {
        {dbItem, f.window->databaseMenu, f.window->newTableInDatabaseAction},
        {table, f.window->tableMenu, f.window->newTableAction},
    };
    for (const Case &c : cases) {
        appState().designTargetItem = -5;
        appState().designTargetDatabase.clear();
        int seenTarget = -1;
        std::string seenDatabase;
        f.dialogs.modalScripts.push_back([&](QDialog &w) {
            EXPECT_NE(dynamic_cast<NewTableWindow *>(&w), nullptr);
            seenTarget = appState().designTargetItem;
            seenDatabase = gbkToUtf8(appState().designTargetDatabase);
        });
        const int opened = f.dialogs.modalCount;
        f.command(c.item, c.menu, c.action);
        EXPECT_EQ(f.dialogs.modalCount, opened + 1);
        EXPECT_EQ(seenTarget, dbItem);
        EXPECT_EQ(seenDatabase, db.name());
        // Kept after the window has closed.
        EXPECT_EQ(appState().designTargetItem, dbItem);
    }
}

TEST_F(CommandsTest, PreferencesOpensTheSettingsWindow)
{
    bool seen = false;
    f.dialogs.modalScripts.push_back(
        [&](QDialog &w) { seen = dynamic_cast<SettingsWindow *>(&w) != nullptr; });
    QMenuBar *bar = f.window->menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {},
                      bar->actionGeometry(f.window->settingsMenu->menuAction()).center());
    WindowFixture::pick(f.window->settingsMenu, f.window->preferencesAction);
    EXPECT_TRUE(seen);
    EXPECT_EQ(f.dialogs.modalCount, 1);
}

} // namespace
} // namespace morvane::test

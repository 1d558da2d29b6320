// The schema tree against the sandbox server: start-up, loading, hiding,
// double-clicks and the choice of pop-up menu, driven by real clicks.
#include "support/WindowFixture.h"

#include "schema/SchemaTree.h"
#include "settings/SettingsWindow.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <cctype>

namespace morvane::test {
namespace {

const char *const kWorkingIni =
    "[本地mysql配置]\r\n本地mysql服务器=\r\n本地mysql用户名=root\r\n本地mysql密码=\r\n";
const char *const kFailingIni =
    "[本地mysql配置]\r\n本地mysql服务器=127.0.0.1\r\n本地mysql用户名=no_such_user_h4\r\n本地mysql密码=x\r\n";

std::string upper(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::toupper(c); });
    return s;
}

bool contains(const std::vector<std::string> &names, const std::string &name)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

struct StartupCase {
    const char *label;
    const char *ini;
    bool testInSettings; // press 测试连接 with working data in the settings window
    std::vector<std::string> messages;
    bool treeFilled;
};

class StartupTest : public ::testing::TestWithParam<StartupCase> {};

TEST_P(StartupTest, ConnectsOrOffersTheSettingsWindow)
{
    const StartupCase &c = GetParam();
    ScratchDatabase db("st");
    WindowFixture f(c.ini);
    bool sawSettings = false;
    f.dialogs.modalScripts.push_back([&](QDialog &w) {
        auto *settings = dynamic_cast<SettingsWindow *>(&w);
        ASSERT_NE(settings, nullptr);
        sawSettings = true;
        // Opened while start-up waits: the main window is not shown yet.
        EXPECT_FALSE(f.window->isVisible());
        if (c.testInSettings) {
            QTest::keyClicks(settings->userBox, "root");
            QTest::mouseClick(settings->testButton, Qt::LeftButton);
        }
    });
    f.start();

    EXPECT_EQ(f.dialogs.messages, c.messages);
    EXPECT_EQ(sawSettings, !c.messages.empty());
    EXPECT_EQ(f.window->workspaceTabs->currentTab(), 2);
    EXPECT_EQ(f.text(0), "localhost");
    EXPECT_EQ(f.tree().treeImage(0), 3);
    EXPECT_TRUE(f.tree().treeIsExpanded(0));
    const auto dbs = f.children(0);
    EXPECT_EQ(contains(dbs, db.name()), c.treeFilled);
    EXPECT_EQ(contains(dbs, "mysql"), c.treeFilled);
    EXPECT_EQ(appState().connection != 0, c.treeFilled);
    if (c.treeFilled) {
        const int item = f.child(0, db.name());
        EXPECT_EQ(f.tree().treeImage(item), 0);
        EXPECT_EQ(f.tree().treeSelectedImage(item), 4);
        EXPECT_EQ(f.tree().treeItemValue(item), 0);
    } else {
        EXPECT_TRUE(dbs.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Configurations, StartupTest,
    ::testing::Values(StartupCase{"working", kWorkingIni, false, {}, true},
                      StartupCase{"emptyKeys", "", false, {}, true},
                      StartupCase{"failingClosedUnchanged", kFailingIni, false, {"mysql连接失败"}, false},
                      StartupCase{
                          "failingThenTested", kFailingIni, true, {"mysql连接失败", "连接成功"}, true}),
    [](const auto &info) { return std::string(info.param.label); });

TEST(HiddenDatabases, SubstringRuleOnNamePlusBar)
{
    struct Case {
        const char *hidden;
        const char *name;
        bool hidden_;
    } cases[] = {
        {"", "shop", false},         {"shop|", "shop", true},   {"mydb|", "db", true},
        {"mydb|", "mydb", true},     {"MyDB|", "mydb", false},  {"shop", "shop", false},
        {"a|shop|b|", "shop", true}, {"shops|", "shop", false}, {"xshop|", "shop", true},
        {"测试库|", "测试库", true}, {"测试库|", "试库", true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(isHiddenDatabase(utf8ToGbk(c.hidden), utf8ToGbk(c.name)), c.hidden_)
            << "hidden=" << c.hidden << " name=" << c.name;
}

TEST(SchemaTree, HiddenListLeavesOutNamesItContains)
{
    ScratchDatabase base("hd");
    NamedDatabase longer("my" + base.name());
    ScratchDatabase other("hd");

    struct Case {
        std::string hidden;
        bool baseShown, longerShown, otherShown;
    } cases[] = {
        {"", true, true, true},
        {longer.name() + "|", false, false, true}, // base| occurs inside mybase|
        {base.name() + "|", false, true, true},
        {upper(longer.name()) + "|", true, true, true}, // letter case counts
        {other.name() + "|" + base.name() + "|", false, true, false},
    };
    for (const Case &c : cases) {
        WindowFixture f("[软件设置]\r\n隐藏库=" + c.hidden + "\r\n");
        f.start();
        const auto dbs = f.children(0);
        EXPECT_EQ(contains(dbs, base.name()), c.baseShown) << c.hidden;
        EXPECT_EQ(contains(dbs, longer.name()), c.longerShown) << c.hidden;
        EXPECT_EQ(contains(dbs, other.name()), c.otherShown) << c.hidden;
        EXPECT_TRUE(contains(dbs, "mysql")) << c.hidden;
    }
}

class TreeFixture : public ::testing::Test {
protected:
    void SetUp() override { f.start(); }
    WindowFixture f;
};

TEST_F(TreeFixture, DoubleClickLoadsTablesOnce)
{
    ScratchDatabase db("dc");
    ScratchDatabase empty("dc");
    NamedDatabase quoted(uniqueName("my-db"));
    adminExec("create table " + db.name() + ".beta (id int)");
    adminExec("create table " + db.name() + ".alpha (id int)");
    adminExec("create table " + NamedDatabase::quoted(quoted.name()) + ".`order` (id int)");
    populateSchemaTree(*f.window, {});

    struct Case {
        std::string database;
        std::vector<std::string> tables;
    } cases[] = {
        {db.name(), {"alpha", "beta"}},
        {empty.name(), {}},
        {quoted.name(), {"order"}}, // selected raw, read from Tables_in_my-db...
    };
    for (const Case &c : cases) {
        const int item = f.child(0, c.database);
        ASSERT_GE(item, 0) << c.database;
        const int before = f.tree().treeItemCount();
        f.doubleClick(item);
        EXPECT_EQ(f.tree().treeCurrentItem(), item);
        EXPECT_EQ(f.children(item), c.tables) << c.database;
        EXPECT_EQ(f.tree().treeItemValue(item), 1);
        EXPECT_EQ(f.tree().treeImage(item), 2);
        EXPECT_EQ(f.tree().treeSelectedImage(item), 4);
        EXPECT_EQ(f.tree().treeItemCount(), before + static_cast<int>(c.tables.size()));
        for (const std::string &t : c.tables) {
            const int table = f.child(item, t);
            EXPECT_EQ(f.tree().treeImage(table), 1);
            EXPECT_EQ(f.tree().treeSelectedImage(table), 1);
            EXPECT_EQ(f.tree().treeItemValue(table), 0);
        }

        // A second double-click adds nothing, even after a new table appeared.
        adminExec("create table " + NamedDatabase::quoted(c.database) + ".gamma (id int)");
        f.doubleClick(item);
        EXPECT_EQ(f.children(item), c.tables) << c.database;
        EXPECT_TRUE(f.dialogs.messages.empty());
    }
}

TEST_F(TreeFixture, OneDoubleClickShowsTheTablesThenTheTreeToggles)
{
    ScratchDatabase db("ex");
    adminExec("create table " + db.name() + ".a (id int)");
    adminExec("create table " + db.name() + ".b (id int)");
    populateSchemaTree(*f.window, {});
    const int item = f.child(0, db.name());
    ASSERT_GE(item, 0);
    EXPECT_FALSE(f.tree().treeIsExpanded(item));

    f.doubleClick(item);
    ASSERT_EQ(f.children(item), (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(f.tree().treeIsExpanded(item));
    // The tables are on screen, below their database.
    for (const char *t : {"a", "b"}) {
        const QRect rect = f.tree().treeItemRect(f.child(item, t));
        EXPECT_TRUE(rect.isValid()) << t;
        EXPECT_GT(rect.top(), f.tree().treeItemRect(item).top()) << t;
    }

    // From then on a double-click toggles, as the tree itself does.
    f.doubleClick(item);
    EXPECT_FALSE(f.tree().treeIsExpanded(item));
    EXPECT_FALSE(f.tree().treeItemRect(f.child(item, "a")).isValid());
    f.doubleClick(item);
    EXPECT_TRUE(f.tree().treeIsExpanded(item));
    EXPECT_EQ(f.children(item), (std::vector<std::string>{"a", "b"}));
}

TEST_F(TreeFixture, DoubleClickOnRootDoesNothing)
{
    const int before = f.tree().treeItemCount();
    f.doubleClick(0);
    EXPECT_EQ(f.tree().treeItemCount(), before);
    EXPECT_EQ(f.tree().treeItemValue(0), 0);
    EXPECT_EQ(f.tree().treeImage(0), 3);
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(TreeFixture, DoubleClickOnTableOpensIt)
{
    ScratchDatabase db("ot");
    adminExec("create table " + db.name() + ".goods (id int primary key, name varchar(20))");
    populateSchemaTree(*f.window, {});
    const int dbItem = f.child(0, db.name());
    f.doubleClick(dbItem);
    const int table = f.child(dbItem, "goods");
    ASSERT_GT(table, dbItem);
    f.doubleClick(table);
    EXPECT_EQ(gbkToUtf8(getText(f.window->tableLabel)), db.name() + ".goods");
    EXPECT_EQ(f.window->structureList->listRowCount(), 2); // one row per column
}

TEST_F(TreeFixture, RenamedItemIsTakenAsTheName)
{
    ScratchDatabase real("rn");
    adminExec("create table " + real.name() + ".renamed_t (id int)");
    ScratchDatabase decoy("rn");
    populateSchemaTree(*f.window, {});
    const int item = f.child(0, decoy.name());
    f.tree().treeSetItemText(item, utf8ToGbk(real.name()));
    f.doubleClick(item);
    EXPECT_EQ(f.children(item), std::vector<std::string>{"renamed_t"});
}

TEST_F(TreeFixture, ADatabaseThatCannotBeSelectedLoadsNoTables)
{
    // Loaded first, so it is the connection's default database when the
    // second one turns out to be gone.
    ScratchDatabase loaded("ns");
    adminExec("create table " + loaded.name() + ".one (id int)");
    adminExec("create table " + loaded.name() + ".two (id int)");
    auto gone = std::make_unique<ScratchDatabase>("ns");
    const std::string goneName = gone->name();
    populateSchemaTree(*f.window, {});
    const int first = f.child(0, loaded.name());
    f.doubleClick(first);
    ASSERT_EQ(f.children(first), (std::vector<std::string>{"one", "two"}));

    gone.reset(); // dropped behind the tree's back
    const int item = f.child(0, goneName);
    ASSERT_GE(item, 0);
    const int before = f.tree().treeItemCount();
    f.doubleClick(item);
    EXPECT_TRUE(f.children(item).empty());
    EXPECT_EQ(f.tree().treeItemCount(), before);
    EXPECT_EQ(f.tree().treeItemValue(item), 1);
    EXPECT_EQ(f.tree().treeImage(item), 2);
}

TEST_F(TreeFixture, RightPressChoosesTheMenu)
{
    ScratchDatabase db("rp");
    adminExec("create table " + db.name() + ".t (id int)");
    populateSchemaTree(*f.window, {});
    const int dbItem = f.child(0, db.name());
    f.doubleClick(dbItem);
    const int table = f.child(dbItem, "t");
    MainWindow &w = *f.window;

    struct Case {
        const char *what;
        int item;
        QMenu *menu;
        QMenu *other;
        bool tableItemsEnabled;
    } cases[] = {
        {"database", dbItem, w.databaseMenu, w.tableMenu, true},
        {"table", table, w.tableMenu, w.databaseMenu, true},
        {"root", 0, w.tableMenu, w.databaseMenu, false},
    };
    for (const Case &c : cases) {
        f.rightPress(c.item);
        EXPECT_EQ(f.tree().treeCurrentItem(), c.item) << c.what;
        EXPECT_TRUE(c.menu->isVisible()) << c.what;
        EXPECT_FALSE(c.other->isVisible()) << c.what;
        // Shown at the pointer plus three pixels.
        EXPECT_EQ(c.menu->pos(), QCursor::pos() + QPoint(3, 3)) << c.what;
        if (c.menu == w.tableMenu) {
            for (QAction *a : {w.newTableAction, w.dropTableAction, w.truncateTableAction})
                EXPECT_EQ(a->isEnabled(), c.tableItemsEnabled) << c.what;
        }
        c.menu->hide();
    }

    // Over empty space: no menu, the current item stays.
    f.tree().treeSetCurrentItem(table);
    f.tree().collapseAll();
    QTest::mousePress(f.tree().viewport(), Qt::RightButton, {}, QPoint(5, f.tree().viewport()->height() - 3));
    EXPECT_FALSE(w.tableMenu->isVisible());
    EXPECT_FALSE(w.databaseMenu->isVisible());
    EXPECT_EQ(f.tree().treeCurrentItem(), table);
}

} // namespace
} // namespace morvane::test

// The settings window opened from 首选项 and driven with real clicks: hidden
// databases, the grid font size, testing and storing the connection.
#include "support/WindowFixture.h"

#include "db/Connection.h"
#include "schema/SchemaTree.h"
#include "settings/SettingsWindow.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionViewItem>
#include <algorithm>
#include <functional>

namespace morvane::test {
namespace {

// Row of the database list holding `name`, or -1.
int rowOf(const ListView &list, const std::string &name)
{
    for (int r = 0; r < list.listRowCount(); ++r) {
        if (list.listCell(r, 0) == utf8ToGbk(name)) return r;
    }
    return -1;
}

// Clicks the check box of a row.
void clickCheck(ListView &list, int row)
{
    const QModelIndex index = list.model()->index(row, 0);
    list.scrollTo(index);
    QStyleOptionViewItem option;
    option.initFrom(&list);
    option.rect = list.visualRect(index);
    option.features |= QStyleOptionViewItem::HasCheckIndicator;
    const QRect box = list.style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, &list);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, box.center());
}

// The checked rows' names followed by "|", in list order.
std::string checkedValue(const ListView &list)
{
    std::string value;
    for (int r : checkedRows(list))
        value += gbkToUtf8(list.listCell(r, 0)) + "|";
    return value;
}

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override { f.start(); }
    // Opens the window with 首选项 and runs `script` while it is open.
    void open(std::function<void(SettingsWindow &)> script)
    {
        f.dialogs.modalScripts.push_back([script](QDialog &dialog) {
            auto *w = dynamic_cast<SettingsWindow *>(&dialog);
            ASSERT_NE(w, nullptr);
            script(*w);
        });
        const int before = f.dialogs.modalCount;
        f.window->preferencesAction->trigger();
        ASSERT_EQ(f.dialogs.modalCount, before + 1);
    }
    WindowFixture f;
};

TEST_F(SettingsTest, OpensFreshOnTheConnectionTab)
{
    open([&](SettingsWindow &w) {
        EXPECT_EQ(w.windowTitle(), "设置");
        EXPECT_EQ(w.frameGeometry().size(), QSize(416, 390)); // outer size
        EXPECT_EQ(w.tabs->currentTab(), 2);
        ASSERT_EQ(w.tabs->count(), 3);
        EXPECT_EQ(w.tabs->tabText(0), "隐藏不常用的库");
        EXPECT_EQ(w.tabs->tabText(1), "列表字体");
        EXPECT_EQ(w.tabs->tabText(2), "mysql设置");
        for (QLineEdit *box : {w.serverBox, w.userBox, w.passwordBox})
            EXPECT_TRUE(box->text().isEmpty());
        EXPECT_EQ(w.passwordBox->echoMode(), QLineEdit::Normal);
        EXPECT_EQ(w.fontSizeCombo->currentIndex(), -1);
        ASSERT_EQ(w.fontSizeCombo->count(), 6);
        for (int i = 0; i < 6; ++i)
            EXPECT_EQ(w.fontSizeCombo->itemText(i), QString::number(10 + i));
        ASSERT_EQ(w.databaseList->listColumnCount(), 1);
        EXPECT_EQ(gbkToUtf8(w.databaseList->listColumnTitle(0)), "库名");
        EXPECT_EQ(w.databaseList->listColumnWidth(0), 200);
        EXPECT_GE(rowOf(*w.databaseList, "mysql"), 0);
        EXPECT_EQ(w.tabs->designRect(w.hideButton), QRect(256, 280, 136, 56));
        EXPECT_EQ(w.findChild<QPushButton *>("按钮3"), w.saveButton);
    });
}

TEST_F(SettingsTest, HidesTheCheckedDatabases)
{
    ScratchDatabase base("sh");
    NamedDatabase longer("my" + base.name());
    ScratchDatabase other("sh");
    ASSERT_TRUE(writeSetting(utf8ToGbk("软件设置"), utf8ToGbk("隐藏库"), utf8ToGbk(longer.name() + "|")));

    open([&](SettingsWindow &w) {
        ListView &list = *w.databaseList;
        const int b = rowOf(list, base.name()), l = rowOf(list, longer.name()), o = rowOf(list, other.name());
        ASSERT_GE(b, 0);
        ASSERT_GE(l, 0);
        ASSERT_GE(o, 0);
        // base| occurs inside mybase|: both open ticked.
        EXPECT_EQ(list.listCheckState(b), 1);
        EXPECT_EQ(list.listCheckState(l), 1);
        EXPECT_EQ(list.listCheckState(o), 0);
        EXPECT_EQ(checkedRows(list), (std::vector<int>{std::min(b, l), std::max(b, l)}));

        w.tabs->selectTab(0);
        // Unchanged: both are stored, in list order.
        QTest::mouseClick(w.hideButton, Qt::LeftButton);
        EXPECT_EQ(f.setting("软件设置", "隐藏库"), checkedValue(list));
        EXPECT_EQ(checkedValue(list).size(), base.name().size() + longer.name().size() + 2);
        EXPECT_EQ(f.child(0, base.name()), -1);
        EXPECT_EQ(f.child(0, longer.name()), -1);
        EXPECT_GE(f.child(0, other.name()), 0);

        // Ticking changes nothing until the button is pressed.
        clickCheck(list, l);
        clickCheck(list, o);
        EXPECT_EQ(list.listCheckState(l), 0);
        EXPECT_EQ(list.listCheckState(o), 1);
        EXPECT_GE(f.child(0, other.name()), 0);
        EXPECT_EQ(f.child(0, longer.name()), -1);
        QTest::mouseClick(w.hideButton, Qt::LeftButton);
        EXPECT_EQ(f.setting("软件设置", "隐藏库"), checkedValue(list));
        EXPECT_EQ(f.child(0, base.name()), -1);
        EXPECT_GE(f.child(0, longer.name()), 0);
        EXPECT_EQ(f.child(0, other.name()), -1);

        // Nothing ticked: an empty list is stored and every database shows.
        for (int r : checkedRows(list))
            clickCheck(list, r);
        QTest::mouseClick(w.hideButton, Qt::LeftButton);
        EXPECT_EQ(f.setting("软件设置", "隐藏库"), "");
        for (const std::string &name : {base.name(), longer.name(), other.name()})
            EXPECT_GE(f.child(0, name), 0) << name;
        EXPECT_TRUE(f.dialogs.messages.empty());
    });
}

TEST_F(SettingsTest, FontSizeAppliesAndIsStored)
{
    open([&](SettingsWindow &w) {
        w.tabs->selectTab(1);
        for (int i = 0; i < 3; ++i) // from no choice to "12"
            QTest::keyClick(w.fontSizeCombo, Qt::Key_Down);
        EXPECT_EQ(w.fontSizeCombo->currentText(), "12");
        EXPECT_EQ(f.window->dataGrid->listFontSize(), 12);
        EXPECT_EQ(f.setting("软件设置", "字体大小"), "12");
        QTest::keyClick(w.fontSizeCombo, Qt::Key_Down);
        EXPECT_EQ(f.window->dataGrid->listFontSize(), 13);
        EXPECT_EQ(f.setting("软件设置", "字体大小"), "13");
    });
}

Text characterSetClient(int connection)
{
    Text value;
    if (execute(connection, "select @@character_set_client")) {
        const int rs = storeResult(connection);
        readField(rs, 0, value);
        freeResult(rs);
    }
    return value;
}

TEST_F(SettingsTest, TestConnectionReplacesTheConnection)
{
    struct Case {
        const char *server, *user, *password;
        const char *message;
        bool connected;
    } cases[] = {
        {"", "root", "", "连接成功", true},
        {"127.0.0.1", "no_such_user_h4", "x", "连接失败", false},
        {"", "", "", "连接成功", true}, // the library's defaults reach the sandbox
    };
    for (const Case &c : cases) {
        const int before = appState().connection;
        ASSERT_NE(before, 0);
        f.dialogs.messages.clear();
        open([&](SettingsWindow &w) {
            QTest::keyClicks(w.serverBox, c.server);
            QTest::keyClicks(w.userBox, c.user);
            QTest::keyClicks(w.passwordBox, c.password);
            QTest::mouseClick(w.testButton, Qt::LeftButton);
        });
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{c.message});
        if (c.connected) {
            EXPECT_NE(appState().connection, 0);
            EXPECT_NE(appState().connection, before);
            EXPECT_EQ(characterSetClient(appState().connection), "gbk");
            EXPECT_FALSE(listDatabases(appState().connection).empty());
        } else {
            // The working connection is replaced by none.
            EXPECT_EQ(appState().connection, 0);
            EXPECT_TRUE(listDatabases(appState().connection).empty());
            appState().connection = before;
        }
    }
}

TEST_F(SettingsTest, SaveStoresTheConnectionSettings)
{
    open([&](SettingsWindow &w) {
        QTest::keyClicks(w.serverBox, "db.example");
        typeInto(w.userBox, "管理员");
        QTest::keyClicks(w.passwordBox, "p=w;d");
        QTest::mouseClick(w.saveButton, Qt::LeftButton);
    });
    EXPECT_EQ(f.setting("本地mysql配置", "本地mysql服务器"), "db.example");
    EXPECT_EQ(f.setting("本地mysql配置", "本地mysql用户名"), "管理员");
    EXPECT_EQ(f.setting("本地mysql配置", "本地mysql密码"), "p=w;d");
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Pressed at once, the empty boxes are stored.
    open([&](SettingsWindow &w) { QTest::mouseClick(w.saveButton, Qt::LeftButton); });
    for (const char *key : {"本地mysql服务器", "本地mysql用户名", "本地mysql密码"})
        EXPECT_EQ(f.setting("本地mysql配置", key), "") << key;
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(SettingsTest, AStoreThatFailsIsReported)
{
    ScratchDatabase db("sf");
    // The configuration path is taken by a directory: nothing can be written.
    const QString path = QString::fromStdString(configPath());
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QDir().mkpath(path));
    ASSERT_FALSE(writeSetting("a", "b", "c"));

    open([&](SettingsWindow &w) {
        QTest::keyClicks(w.userBox, "root");
        QTest::mouseClick(w.saveButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"保存失败"});

        w.tabs->selectTab(0);
        const int row = rowOf(*w.databaseList, db.name());
        ASSERT_GE(row, 0);
        clickCheck(*w.databaseList, row);
        QTest::mouseClick(w.hideButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"保存失败", "保存失败"}));
        // The tree still follows the choice for this run.
        EXPECT_EQ(f.child(0, db.name()), -1);
    });
}

} // namespace
} // namespace morvane::test

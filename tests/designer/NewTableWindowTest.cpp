// The new-table designer: the statement it composes, as text, and the window
// driven with real clicks from the tree's menus against the sandbox server.
#include "support/WindowFixture.h"

#include "db/Connection.h"
#include "designer/NewTableWindow.h"
#include "schema/SchemaTree.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>

namespace morvane::test {
namespace {

using Rows = std::vector<std::vector<std::string>>;

const Rows kPreset = {{"id", "int(20)", "unsigned", "auto_increment", "PRIMARY KEY", "", "", ""}};
const std::string kPresetLine = "    id int(20) unsigned auto_increment PRIMARY KEY  comment ''";
const std::string kTail = ") ENGINE=MyISAM DEFAULT CHARSET=utf8";

struct StatementCase {
    const char *label;
    std::string database, table;
    Rows rows;
    std::string expected;
};

Rows withPreset(std::vector<std::string> row)
{
    Rows rows = kPreset;
    rows.push_back(std::move(row));
    return rows;
}

class StatementText : public ::testing::TestWithParam<StatementCase> {};

TEST_P(StatementText, ComposedExactly)
{
    const StatementCase &c = GetParam();
    static const int connection = connect("", "root", "");
    ASSERT_NE(connection, 0);
    std::vector<std::vector<Text>> rows;
    for (const auto &row : c.rows) {
        rows.emplace_back();
        for (const auto &cell : row)
            rows.back().push_back(utf8ToGbk(cell));
    }
    const Text s = buildCreateTableStatement(connection, utf8ToGbk(c.database), utf8ToGbk(c.table), rows);
    EXPECT_EQ(gbkToUtf8(s), c.expected);
    // Without a connection the text is the same.
    EXPECT_EQ(buildCreateTableStatement(0, utf8ToGbk(c.database), utf8ToGbk(c.table), rows), s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StatementText,
    ::testing::Values(
        StatementCase{"presetOnly", "d", "t", kPreset,
                      "create table d.t(\r\n" + kPresetLine + "\r\n" + kTail},
        StatementCase{"secondRow", "d", "t", withPreset({"title", "VARCHAR(20)", "", "", "", "", "''", "x"}),
                      "create table d.t(\r\n" + kPresetLine + ",\r\n" +
                          "    title VARCHAR(20)     NOT NULL default '' comment 'x'\r\n" + kTail},
        StatementCase{"flagsAndNumber", "d", "t", Rows{{"n", "int", "unsigned", "", "", "unique", "0", ""}},
                      "create table d.t(\r\n    n int unsigned   unique NOT NULL default 0 comment ''\r\n" +
                          kTail},
        StatementCase{"noRows", "d", "t", Rows{}, "create table d.t(\r\n" + kTail},
        StatementCase{"quotedNames", "my-db", "order",
                      Rows{{"key", "int", "", "", "", "", "", ""}, {"a b", "int", "", "", "", "", "", ""}},
                      "create table `my-db`.`order`(\r\n    `key` int     comment '',\r\n"
                      "    `a b` int     comment ''\r\n" +
                          kTail},
        StatementCase{"chineseNames", "测试库", "商品",
                      Rows{{"名称", "varchar(9)", "", "", "", "", "", "备注"}},
                      "create table 测试库.商品(\r\n    名称 varchar(9)     comment '备注'\r\n" + kTail},
        StatementCase{"quoteInComment", "d", "t", Rows{{"c", "int", "", "", "", "", "", "O'Brien\\"}},
                      "create table d.t(\r\n    c int     comment 'O\\'Brien\\\\'\r\n" + kTail},
        // Empty names stay empty; the server says what is missing.
        StatementCase{"emptyNames", "d", "", Rows{{"", "int", "", "", "", "", "", ""}},
                      "create table d.(\r\n     int     comment ''\r\n" + kTail},
        StatementCase{"dashesInCells", "d", "t", Rows{{"c", "int----", "", "", "", "", "", "a----b"}},
                      "create table d.t(\r\n    c int         comment 'a    b'\r\n" + kTail}),
    [](const auto &info) { return std::string(info.param.label); });

// --- the window ---------------------------------------------------------

void clickTab(TabControl *tabs, int index)
{
    QTabBar *bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    ASSERT_EQ(tabs->currentTab(), index);
}

void retype(QWidget *box, const std::string &text)
{
    if (auto *line = qobject_cast<QLineEdit *>(box)) line->clear();
    if (auto *edit = qobject_cast<QPlainTextEdit *>(box)) edit->clear();
    typeInto(box, text);
}

// Picks line `index` of the type catalogue with the keyboard, from no choice.
void pickTypeLine(QComboBox *combo, int index)
{
    combo->setCurrentIndex(-1);
    for (int i = 0; i <= index; ++i)
        QTest::keyClick(combo, Qt::Key_Down);
    ASSERT_EQ(combo->currentIndex(), index);
}

std::string cell(const NewTableWindow &w, int row, int column)
{
    return gbkToUtf8(w.designList->listCell(row, column));
}

std::string statement(const NewTableWindow &w)
{
    return gbkToUtf8(getText(w.statementBox));
}

void expectFreshWindow(const NewTableWindow &w)
{
    // No visible caption (a blank one: Qt shows the program's name for an
    // empty title).
    EXPECT_TRUE(w.windowTitle().trimmed().isEmpty());
    EXPECT_FALSE(w.windowTitle().isEmpty());
    EXPECT_EQ(w.frameGeometry().size(), QSize(679, 543)); // outer size
    EXPECT_EQ(w.tabs->currentTab(), 0);
    EXPECT_EQ(w.tabs->count(), 2);
    EXPECT_EQ(w.tabs->tabText(0), "表");
    EXPECT_EQ(w.tabs->tabText(1), "sql");
    EXPECT_EQ(gbkToUtf8(getText(w.tableNameBox)), "表名称");
    ASSERT_EQ(w.designList->listRowCount(), 1);
    ASSERT_EQ(w.designList->listColumnCount(), 8);
    const char *titles[] = {"字段", "数据类型", "无符号", "自增", "主键", "唯一", "默认", "注释"};
    const int widths[] = {100, 100, 60, 50, 50, 50, 50, 100};
    for (int k = 0; k < 8; ++k) {
        EXPECT_EQ(gbkToUtf8(w.designList->listColumnTitle(k)), titles[k]);
        EXPECT_EQ(w.designList->listColumnWidth(k), widths[k]);
        EXPECT_EQ(cell(w, 0, k), kPreset[0][k]);
    }
    EXPECT_EQ(w.typeCombo->count(), 13);
    EXPECT_EQ(w.typeCombo->currentIndex(), -1);
    for (QWidget *box : {static_cast<QWidget *>(w.fieldNameBox), static_cast<QWidget *>(w.typeBox),
                         static_cast<QWidget *>(w.defaultBox), static_cast<QWidget *>(w.commentBox)})
        EXPECT_TRUE(getText(box).empty()) << box->objectName().toStdString();
    EXPECT_FALSE(w.uniqueCheck->isChecked());
    EXPECT_FALSE(w.unsignedCheck->isChecked());
    EXPECT_TRUE(w.errorBox->isHidden());
    // Controls sit on their tabs under their design names.
    EXPECT_EQ(w.findChild<QWidget *>("编辑框7"), w.errorBox);
    EXPECT_EQ(w.tabs->designRect(w.designList), QRect(6, 68, 648, 304));
    EXPECT_EQ(w.tabs->designRect(w.statementBox), QRect(8, 32, 638, 300));
}

class DesignerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f.start();
        adminExec("create table " + db.name() + ".existing (id int)");
        populateSchemaTree(*f.window, {});
        dbItem = f.child(0, db.name());
        f.doubleClick(dbItem);
    }
    WindowFixture f;
    ScratchDatabase db{"nt"};
    int dbItem = -1;
};

TEST_F(DesignerTest, TypeLinePickFillsTypeAndDefault)
{
    struct Case {
        int line;
        const char *type;
        const char *def;
    } cases[] = {{0, "TINYINT(10)", "0"}, {5, "", "''"}, {7, "VARCHAR(m)", "''"}, {12, "DECIMAL(M,D)", "0"}};
    f.dialogs.modalScripts.push_back([&](QDialog &dialog) {
        auto &w = dynamic_cast<NewTableWindow &>(dialog);
        for (const Case &c : cases) {
            pickTypeLine(w.typeCombo, c.line);
            EXPECT_EQ(gbkToUtf8(getText(w.typeBox)), c.type) << c.line;
            EXPECT_EQ(gbkToUtf8(getText(w.defaultBox)), c.def) << c.line;
        }
    });
    f.command(dbItem, f.window->databaseMenu, f.window->newTableInDatabaseAction);
    EXPECT_EQ(f.dialogs.modalCount, 1);
}

TEST_F(DesignerTest, DesignPreviewEditAndRunTwice)
{
    const std::string table = "商品_h4";
    const std::string expected =
        "create table " + db.name() + "." + table + "(\r\n" + kPresetLine + ",\r\n" +
        "    title VARCHAR(20)     NOT NULL default '' comment 'x',\r\n" +
        "    code int unsigned   unique NOT NULL default 0 comment 'O\\'Brien的代码'\r\n" + kTail;
    const int count = f.tree().treeItemCount();
    f.dialogs.modalScripts.push_back([&](QDialog &dialog) {
        auto &w = dynamic_cast<NewTableWindow &>(dialog);
        expectFreshWindow(w);
        retype(w.tableNameBox, table);

        retype(w.fieldNameBox, "title");
        retype(w.typeBox, "VARCHAR(20)");
        retype(w.defaultBox, "''");
        retype(w.commentBox, "x");
        QTest::mouseClick(w.addButton, Qt::LeftButton);

        retype(w.fieldNameBox, "code");
        retype(w.typeBox, "int");
        retype(w.defaultBox, "0");
        retype(w.commentBox, "O'Brien的代码");
        QTest::mouseClick(w.unsignedCheck, Qt::LeftButton);
        QTest::mouseClick(w.uniqueCheck, Qt::LeftButton);
        QTest::mouseClick(w.addButton, Qt::LeftButton);

        ASSERT_EQ(w.designList->listRowCount(), 3);
        const Rows rows = {{"title", "VARCHAR(20)", "", "", "", "", "''", "x"},
                           {"code", "int", "unsigned", "", "", "unique", "0", "O'Brien的代码"}};
        for (int r = 0; r < 2; ++r) {
            for (int k = 0; k < 8; ++k)
                EXPECT_EQ(cell(w, r + 1, k), rows[r][k]) << r << "," << k;
        }
        // The boxes keep their contents.
        EXPECT_EQ(gbkToUtf8(getText(w.fieldNameBox)), "code");

        clickTab(w.tabs, 1);
        EXPECT_EQ(statement(w), expected);

        // An edit lives until the next switch to "sql".
        QTest::keyClicks(w.statementBox, " junk");
        EXPECT_NE(statement(w), expected);
        clickTab(w.tabs, 0);
        clickTab(w.tabs, 1);
        EXPECT_EQ(statement(w), expected);

        QTest::mouseClick(w.runButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"创建成功！"});
        EXPECT_TRUE(w.errorBox->isHidden());

        QTest::mouseClick(w.runButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"创建成功！", "创建失败"}));
        EXPECT_FALSE(w.errorBox->isHidden());
        const std::string error = gbkToUtf8(getText(w.errorBox));
        EXPECT_NE(error.find("已经存在"), std::string::npos) << error;
        EXPECT_NE(error.find(table), std::string::npos) << error;

        // The edited statement is what runs; a success leaves the error box as it was.
        w.statementBox->setPlainText(
            QString::fromStdString("create table " + db.name() + ".edited_h4 (id int)"));
        QTest::mouseClick(w.runButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages.back(), "创建成功！");
        EXPECT_EQ(gbkToUtf8(getText(w.errorBox)), error);
        EXPECT_FALSE(w.errorBox->isHidden());
    });
    f.command(dbItem, f.window->databaseMenu, f.window->newTableInDatabaseAction);
    ASSERT_EQ(f.dialogs.modalCount, 1);

    EXPECT_TRUE(serverHasTable(db.name(), utf8ToGbk(table)));
    EXPECT_TRUE(serverHasTable(db.name(), "edited_h4"));
    EXPECT_EQ(adminQueryValue("select column_comment from information_schema.columns where table_schema='" +
                              db.name() + "' and column_name='code'"),
              utf8ToGbk("O'Brien的代码"));
    // One item per success, under the database, named by the table name box.
    EXPECT_EQ(f.tree().treeItemCount(), count + 2);
    EXPECT_EQ(f.children(dbItem), (std::vector<std::string>{"existing", table, table}));
    const int added = f.child(dbItem, table);
    EXPECT_EQ(f.tree().treeImage(added), 1);
    EXPECT_EQ(f.tree().treeSelectedImage(added), 1);
    EXPECT_EQ(f.tree().treeItemValue(added), 0);
}

TEST_F(DesignerTest, FromTheTableMenuEachOpeningStartsAfresh)
{
    const int existing = f.child(dbItem, "existing");
    for (int opening = 0; opening < 2; ++opening) {
        f.dialogs.modalScripts.push_back([&](QDialog &dialog) {
            auto &w = dynamic_cast<NewTableWindow &>(dialog);
            expectFreshWindow(w);
            retype(w.fieldNameBox, "leftover");
            QTest::mouseClick(w.addButton, Qt::LeftButton);
            clickTab(w.tabs, 1);
            EXPECT_EQ(statement(w), "create table " + db.name() + ".表名称(\r\n" + kPresetLine +
                                        ",\r\n    leftover      comment ''\r\n" + kTail);
        });
        f.command(existing, f.window->tableMenu, f.window->newTableAction);
    }
    EXPECT_EQ(f.dialogs.modalCount, 2);
    EXPECT_EQ(appState().designTargetItem, dbItem);
}

TEST_F(DesignerTest, WithoutConnectionTheErrorBoxShowsEmpty)
{
    f.dialogs.modalScripts.push_back([&](QDialog &dialog) {
        auto &w = dynamic_cast<NewTableWindow &>(dialog);
        retype(w.tableNameBox, "never_made");
        clickTab(w.tabs, 1);
        appState().connection = 0;
        QTest::mouseClick(w.runButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages, std::vector<std::string>{"创建失败"});
        EXPECT_FALSE(w.errorBox->isHidden());
        EXPECT_TRUE(getText(w.errorBox).empty());
    });
    const int count = f.tree().treeItemCount();
    f.command(dbItem, f.window->databaseMenu, f.window->newTableInDatabaseAction);
    EXPECT_EQ(f.tree().treeItemCount(), count);
    EXPECT_FALSE(serverHasTable(db.name(), "never_made"));
}

} // namespace
} // namespace morvane::test

// The texts the workspace composes, checked as texts: the sort rewrite, the
// reformatted create statement, the type catalogue and its rules, and the
// column editor's statements.
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/Widgets.h"
#include "workspace/ColumnEditor.h"
#include "workspace/DataGrid.h"
#include "workspace/TableView.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace morvane {
namespace {

struct SortCase {
    const char *statement;
    const char *title;
    const char *expected;
};

TEST(SortedStatement, RewritesTheOrderByClause)
{
    const SortCase cases[] = {
        // The first click sorts descending, later ones alternate.
        {"select * from shop.goods limit 100", "price",
         "select * from shop.goods ORDER BY price desc limit 100"},
        {"select * from shop.goods ORDER BY price desc limit 100", "name",
         "select * from shop.goods ORDER BY name ASC limit 100"},
        {"select * from shop.goods ORDER BY name ASC limit 100", "name",
         "select * from shop.goods ORDER BY name desc limit 100"},
        // Every "limit" gets the clause.
        {"select * from t limit 1 union select * from t limit 2", "a",
         "select * from t ORDER BY a desc limit 1 union select * from t ORDER BY a desc limit 2"},
        // " ASC" anywhere, any case, even inside a word, chooses desc.
        {"select * from t where c=' ascii' ORDER BY a desc limit 5", "b",
         "select * from t where c=' ascii' ORDER BY b desc limit 5"},
        // Clauses spelled otherwise are left as they are.
        {"select * from t LIMIT 5", "a", "select * from t LIMIT 5"},
        {"select * from t order by a desc limit 5", "b", "select * from t order by a desc limit 5"},
        {"select * from t ORDER BY a desc", "b", "select * from t ORDER BY a desc"},
        {"select * from t ORDER BY a desc LIMIT 3", "b", "select * from t ORDER BY a desc LIMIT 3"},
        // Names that need quoting are quoted; plain ones keep their text.
        {"select * from `my-db`.`order` limit 100", "group",
         "select * from `my-db`.`order` ORDER BY `group` desc limit 100"},
        {"select * from t ORDER BY `group` desc limit 100", "my col",
         "select * from t ORDER BY `my col` ASC limit 100"},
        {"select * from t limit 100", "序", "select * from t ORDER BY 序 desc limit 100"},
        {"select * from t limit 100", "a`b", "select * from t ORDER BY `a``b` desc limit 100"},
    };
    for (const SortCase &c : cases)
        EXPECT_EQ(gbkToUtf8(sortedStatement(utf8ToGbk(c.statement), utf8ToGbk(c.title))), c.expected)
            << c.statement << " / " << c.title;
}

TEST(CreateStatement, OneDefinitionPerLine)
{
    const struct {
        const char *in;
        const char *out;
    } cases[] = {
        // One "\r\n" per line: no blank line behind a definition.
        {"CREATE TABLE `t` (\n  `id` int(11) NOT NULL,\n  `b` int(11) DEFAULT NULL\n) ENGINE=InnoDB",
         "CREATE TABLE `t` (\r\n  `id` int(11) NOT NULL,\r\n  `b` int(11) DEFAULT NULL\r\n) ENGINE=InnoDB"},
        // Only the first "(" and the first ") ENGINE" get a line break.
        {"CREATE TABLE `a(b` (\n  `x` int\n) ENGINE=X) ENGINE",
         "CREATE TABLE `a(\r\nb` (\r\n  `x` int\r\n) ENGINE=X) ENGINE"},
        // A statement without line feeds still gets its head and tail lines.
        {"CREATE TABLE t (a int) ENGINE=X", "CREATE TABLE t (\r\na int\r\n) ENGINE=X"},
        // Lines after the table options keep their own line breaks.
        {"CREATE TABLE t (\n  a int\n) ENGINE=X\n PARTITION BY HASH (a)",
         "CREATE TABLE t (\r\n  a int\r\n) ENGINE=X\r\n PARTITION BY HASH (a)"},
        {"", ""},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatCreateStatement(c.in), c.out);
}

TEST(OpenedTableName, BuiltFromTheTwoNamesNeverFromTheCaption)
{
    const struct {
        const char *database, *table, *caption, *expected;
    } cases[] = {
        {"shop", "goods", "shop.goods", "shop.goods"},
        {"my-db", "order", "my-db.order", "`my-db`.`order`"},
        {"d", "my table", "d.my table", "d.`my table`"},
        // Full stops in either name: the caption reads the same for both.
        {"da.b", "t", "da.b.t", "`da.b`.t"},
        {"da", "b.t", "da.b.t", "da.`b.t`"},
        {"d", "[编辑框内容]", "d.[编辑框内容]", "d.`[编辑框内容]`"},
        // Before any table was opened: the caption as one name.
        {"", "", "标签", "标签"},
    };
    MainWindow window;
    for (const auto &c : cases) {
        resetAppState();
        appState().openedDatabase = utf8ToGbk(c.database);
        appState().openedTable = utf8ToGbk(c.table);
        setText(window.tableLabel, utf8ToGbk(c.caption));
        EXPECT_EQ(gbkToUtf8(openedTableName(window)), c.expected) << c.database << " / " << c.table;
    }
    resetAppState();
}

TEST(ColumnTypeList, ThirteenLinesOf488Bytes)
{
    const Text &list = columnTypeList();
    EXPECT_EQ(list.size(), 488u);
    const std::vector<Text> lines = splitText(list, "\r\n");
    ASSERT_EQ(lines.size(), 13u);
    EXPECT_TRUE(lines[5].empty());
    EXPECT_TRUE(lines[11].empty());
    for (const Text &line : lines) {
        if (line.empty()) continue;
        // The type name padded with "-" to 16 characters, then the description.
        EXPECT_EQ(line[15], '-') << gbkToUtf8(line);
        EXPECT_NE(line[16], '-') << gbkToUtf8(line);
    }
    EXPECT_EQ(gbkToUtf8(lines[0]), "TINYINT(10)-----整数型 范围：0-255");
    EXPECT_EQ(gbkToUtf8(lines[7]), "VARCHAR(m)------文本型 范围：0-65535 字节");
    EXPECT_EQ(gbkToUtf8(lines[12]), "DECIMAL(M,D)----小数型 m代表总位数 D代表小数点后面的位数");
}

TEST(ColumnTypeList, TypeAndDefaultOfEachLine)
{
    const char *const expected[13][2] = {
        {"TINYINT(10)", "0"},  {"SMALLINT(10)", "0"}, {"MEDIUMINT(10)", "0"},
        {"INT(10)", "0"},      {"BIGINT(10)", "0"},   {"", "''"},
        {"CHAR(m)", "''"},     {"VARCHAR(m)", "''"},  {"TEXT", "''"},
        {"MEDIUMTEXT", "''"},  {"LONGTEXT", "''"},    {"", "''"},
        {"DECIMAL(M,D)", "0"},
    };
    const std::vector<Text> lines = splitText(columnTypeList(), "\r\n");
    ASSERT_EQ(lines.size(), 13u);
    for (int i = 0; i < 13; ++i) {
        EXPECT_EQ(typeOfTypeLine(lines[std::size_t(i)]), expected[i][0]) << i;
        EXPECT_EQ(defaultForTypeLine(lines[std::size_t(i)]), expected[i][1]) << i;
    }
    EXPECT_EQ(typeOfTypeLine("nodash"), "");
}

TEST(ColumnTypeList, FillsTheComboWithEveryLine)
{
    QComboBox combo;
    fillTypeCombo(&combo);
    ASSERT_EQ(combo.count(), 13);
    EXPECT_EQ(combo.itemText(5), "");
    EXPECT_EQ(combo.itemText(11), "");
    EXPECT_EQ(combo.itemText(3), QString::fromUtf8("INT(10)---------整数型 范围：0-4294967295"));
    EXPECT_EQ(combo.currentIndex(), -1);
}

struct EditorCase {
    const char *database, *table, *name, *type, *defaultValue, *comment, *after;
    bool isUnsigned, unique;
    const char *add, *modify;
};

TEST(ColumnEditorStatements, ComposedFromTheControls)
{
    const EditorCase cases[] = {
        {"d", "t", "c", "INT(10)", "0", "", "b", true, true,
         "alter table d.t add c INT(10) unsigned not null default 0 UNIQUE comment ''  after b",
         "alter table d.t modify c INT(10) unsigned not null default 0 UNIQUE comment ''"},
        // No column chosen, an empty default: left for the server to refuse.
        {"d", "t", "c", "TEXT", "", "x", "", false, false,
         "alter table d.t add c TEXT not null default  comment 'x'  after ",
         "alter table d.t modify c TEXT not null default  comment 'x'"},
        // A quote in the comment is escaped; names that need it are quoted.
        {"my-db", "order", "select", "VARCHAR(5)", "''", "it's", "my col", false, false,
         "alter table `my-db`.`order` add `select` VARCHAR(5) not null default '' comment 'it\\'s'  after "
         "`my col`",
         "alter table `my-db`.`order` modify `select` VARCHAR(5) not null default '' comment 'it\\'s'"},
        // Before any table was opened the label's caption is the table.
        // The table is the two names it was opened with: "da.b" and "t", not
        // "da" and "b.t".
        {"da.b", "t", "c", "INT(10)", "0", "", "", false, false,
         "alter table `da.b`.t add c INT(10) not null default 0 comment ''  after ",
         "alter table `da.b`.t modify c INT(10) not null default 0 comment ''"},
        {"", "", "新列", "INT(10)", "0", "注释", "id", false, false,
         "alter table 标签 add 新列 INT(10) not null default 0 comment '注释'  after id",
         "alter table 标签 modify 新列 INT(10) not null default 0 comment '注释'"},
    };
    MainWindow window;
    for (const EditorCase &c : cases) {
        resetAppState();
        appState().openedDatabase = utf8ToGbk(c.database);
        appState().openedTable = utf8ToGbk(c.table);
        setText(window.tableLabel,
                *c.database ? utf8ToGbk(std::string(c.database) + "." + c.table) : "标签"_gbk);
        setText(window.columnNameBox, utf8ToGbk(c.name));
        setText(window.columnTypeBox, utf8ToGbk(c.type));
        setText(window.defaultBox, utf8ToGbk(c.defaultValue));
        setText(window.commentBox, utf8ToGbk(c.comment));
        comboClear(window.afterColumnCombo);
        if (*c.after) {
            comboAddItem(window.afterColumnCombo, "other");
            comboAddItem(window.afterColumnCombo, utf8ToGbk(c.after));
            window.afterColumnCombo->setCurrentIndex(1);
        }
        window.unsignedCheck->setChecked(c.isUnsigned);
        window.uniqueCheck->setChecked(c.unique);

        EXPECT_EQ(gbkToUtf8(buildAddColumnStatement(window)), c.add);
        EXPECT_EQ(gbkToUtf8(getText(window.sqlConsole)), c.add);
        EXPECT_EQ(gbkToUtf8(buildModifyColumnStatement(window)), c.modify);
        EXPECT_EQ(gbkToUtf8(getText(window.sqlConsole)), c.modify);
    }
    resetAppState();
}

} // namespace
} // namespace morvane

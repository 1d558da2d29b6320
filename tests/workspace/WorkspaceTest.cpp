// The table workspace on the real main window against the sandbox server,
// driven by real clicks: opening a table from the tree, sorting by header
// clicks, column widths across a restart, cell editing, the column editor
// and the query button.
#include "support/WindowFixture.h"

#include "db/Connection.h"
#include "schema/SchemaTree.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"
#include "workspace/CellEditText.h"
#include "workspace/DataGrid.h"
#include "workspace/TableView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextCursor>
#include <algorithm>

namespace morvane::test {
namespace {

const char *const kIni = "[本地mysql配置]\r\n本地mysql服务器=\r\n本地mysql用户名=root\r\n本地mysql密码=\r\n";

std::string u8(const Text &gbk)
{
    return gbkToUtf8(gbk);
}

void exec(const std::string &utf8)
{
    adminExec(utf8ToGbk(utf8));
}

std::string value(const std::string &utf8)
{
    return gbkToUtf8(adminQueryValue(utf8ToGbk(utf8)));
}

// Column `column` of the first row of a query on the admin connection.
std::string valueAt(const std::string &utf8, unsigned column)
{
    MYSQL *m = admin();
    const Text sql = utf8ToGbk(utf8);
    std::string out;
    EXPECT_EQ(mysql_real_query(m, sql.data(), sql.size()), 0) << mysql_error(m);
    if (MYSQL_RES *res = mysql_store_result(m)) {
        if (MYSQL_ROW row = mysql_fetch_row(res); row && column < mysql_num_fields(res) && row[column])
            out.assign(row[column], mysql_fetch_lengths(res)[column]);
        mysql_free_result(res);
    }
    return gbkToUtf8(out);
}

class Workspace : public ::testing::Test {
protected:
    void SetUp() override
    {
        exec("alter database " + db.name() + " character set utf8mb4");
        exec("create table " + db.name() +
             ".goods (id int not null auto_increment primary key, name varchar(20) not null default '' "
             "comment '名称', price decimal(10,2) not null default 0, note varchar(20) default null "
             "comment '备注', unique key uk_name (name)) engine=InnoDB");
        exec("insert into " + db.name() +
             ".goods values (1, '苹果', 5.50, '山东'), (2, 'Coffee', 32.00, null), (3, '香蕉', 3.20, 'x')");
        f.start();
    }

    ListView &grid() const { return *f.window->dataGrid; }
    MainWindow &w() const { return *f.window; }

    void open(const std::string &database, const std::string &table)
    {
        const int dbItem = f.child(0, database);
        ASSERT_GE(dbItem, 0) << database;
        f.doubleClick(dbItem);
        const int tableItem = f.child(dbItem, table);
        ASSERT_GE(tableItem, 0) << table;
        f.doubleClick(tableItem);
    }

    void clickHeader(int column)
    {
        QHeaderView *header = grid().horizontalHeader();
        const QPoint at(header->sectionViewportPosition(column) + header->sectionSize(column) / 2,
                        header->height() / 2);
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    }

    void pressCell(int row, int column)
    {
        grid().scrollTo(grid().model()->index(row, column));
        QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, grid().listCellCenter(row, column));
    }

    std::vector<std::string> gridColumn(int column) const
    {
        std::vector<std::string> cells;
        for (int r = 0; r < grid().listRowCount(); ++r)
            cells.push_back(u8(grid().listCell(r, column)));
        return cells;
    }

    std::string console() const { return u8(getText(w().sqlConsole)); }

    ScratchDatabase db{"ws"};
    WindowFixture f{kIni};
};

TEST_F(Workspace, DoubleClickOpensTheTable)
{
    open(db.name(), "goods");
    const std::string q = db.name() + ".goods";
    EXPECT_EQ(u8(getText(w().tableLabel)), q);
    EXPECT_EQ(u8(getText(w().queryBox)), "select * from " + q + " limit 100");

    ListView &s = *w().structureList;
    ASSERT_EQ(s.listRowCount(), 4);
    const std::vector<std::vector<std::string>> structure = {
        {"1", "id", "int(11)", "PRI", "", "auto_increment", ""},
        {"2", "name", "varchar(20)", "UNI", "''", "", "名称"},
        {"3", "price", "decimal(10,2)", "", "0.00", "", ""},
        {"4", "note", "varchar(20)", "", "NULL", "", "备注"},
    };
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 7; ++c) {
            // Servers differ in how they write defaults; the others must match.
            if (c == 4) continue;
            EXPECT_EQ(u8(s.listCell(r, c)), structure[std::size_t(r)][std::size_t(c)]) << r << "," << c;
        }
    EXPECT_EQ(w().afterColumnCombo->count(), 4);
    EXPECT_EQ(w().afterColumnCombo->itemText(3), "note");
    EXPECT_EQ(w().afterColumnCombo->currentIndex(), -1);

    // 序 at 50 pixels, then 12 pixels per byte of each name.
    ASSERT_EQ(grid().listColumnCount(), 5);
    const int widths[] = {50, 24, 48, 60, 48};
    const char *titles[] = {"序", "id", "name", "price", "note"};
    for (int c = 0; c < 5; ++c) {
        EXPECT_EQ(u8(grid().listColumnTitle(c)), titles[c]);
        EXPECT_EQ(grid().listColumnWidth(c), widths[c]);
    }
    EXPECT_EQ(gridColumn(0), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(gridColumn(2), (std::vector<std::string>{"苹果", "Coffee", "香蕉"}));
    EXPECT_EQ(gridColumn(4), (std::vector<std::string>{"山东", "", "x"})); // NULL shows empty

    const Text create = utf8ToGbk(valueAt("show create table " + q, 1));
    ASSERT_FALSE(create.empty());
    // The box reads back exactly what was written into it, one line break
    // per line of the server's statement and no blank lines.
    const Text shown = formatCreateStatement(create);
    EXPECT_EQ(getText(w().createStatementBox), shown);
    EXPECT_NE(findText(getText(w().createStatementBox), "(\r\n"), -1);
    EXPECT_EQ(findText(getText(w().createStatementBox), "\r\n\r\n"), -1);
    EXPECT_EQ(w().createStatementBox->blockCount(), int(std::count(create.begin(), create.end(), '\n')) + 1);

    QTest::mouseClick(w().stripBackquotesButton, Qt::LeftButton);
    EXPECT_EQ(getText(w().createStatementBox), replaceText(shown, "`", ""));
    QTest::mouseClick(w().stripBackquotesButton, Qt::LeftButton);
    EXPECT_EQ(getText(w().createStatementBox), replaceText(shown, "`", ""));
}

TEST_F(Workspace, OpeningShowsTheFirstHundredRows)
{
    exec("create table " + db.name() + ".h (id int primary key, a varchar(20), b int)");
    exec("insert into " + db.name() + ".h select seq, concat('行', seq), seq * 7 from " + db.name() +
         ".seq_1_to_500");
    populateSchemaTree(w(), "");
    open(db.name(), "h");
    ASSERT_EQ(grid().listRowCount(), 100);
    EXPECT_EQ(u8(grid().listCell(99, 0)), "100");
    EXPECT_EQ(u8(grid().listCell(99, 2)), "行100");
    EXPECT_EQ(u8(grid().listCell(99, 3)), "700");
}

TEST_F(Workspace, HeaderClicksSort)
{
    open(db.name(), "goods");
    const std::string from = "select * from " + db.name() + ".goods ";
    clickHeader(3); // price
    EXPECT_EQ(u8(getText(w().queryBox)), from + "ORDER BY price desc limit 100");
    EXPECT_EQ(gridColumn(1), (std::vector<std::string>{"2", "1", "3"}));
    EXPECT_EQ(gridColumn(0), (std::vector<std::string>{"1", "2", "3"}));
    clickHeader(2); // name
    EXPECT_EQ(u8(getText(w().queryBox)), from + "ORDER BY name ASC limit 100");
    clickHeader(2);
    EXPECT_EQ(u8(getText(w().queryBox)), from + "ORDER BY name desc limit 100");
    clickHeader(1);
    EXPECT_EQ(gridColumn(1), (std::vector<std::string>{"1", "2", "3"}));

    // A click on 序 asks for a column the table lacks: the grid comes up empty.
    clickHeader(0);
    EXPECT_EQ(u8(getText(w().queryBox)), from + "ORDER BY 序 desc limit 100");
    EXPECT_EQ(grid().listRowCount(), 0);
    EXPECT_EQ(grid().listColumnCount(), 5);

    // Opening again drops the sort clause.
    open(db.name(), "goods");
    EXPECT_EQ(u8(getText(w().queryBox)), from + "limit 100");
    EXPECT_EQ(grid().listRowCount(), 3);
}

TEST_F(Workspace, NamesThatNeedQuotingOpenAndSort)
{
    NamedDatabase odd("my-db_" + uniqueName("q"));
    exec("alter database `" + odd.name() + "` character set utf8mb4");
    exec("create table `" + odd.name() + "`.`order` (id int primary key, `group` int, `select` varchar(10))");
    exec("insert into `" + odd.name() + "`.`order` values (1, 10, 'a'), (2, 30, 'b'), (3, 20, 'c')");
    populateSchemaTree(w(), "");
    open(odd.name(), "order");

    EXPECT_EQ(u8(getText(w().tableLabel)), odd.name() + ".order");
    const std::string from = "select * from `" + odd.name() + "`.`order` ";
    EXPECT_EQ(u8(getText(w().queryBox)), from + "limit 100");
    EXPECT_EQ(w().structureList->listRowCount(), 3);
    EXPECT_EQ(gridColumn(3), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_NE(findText(getText(w().createStatementBox), "CREATE TABLE"), -1);

    clickHeader(2); // group
    EXPECT_EQ(u8(getText(w().queryBox)), from + "ORDER BY `group` desc limit 100");
    EXPECT_EQ(gridColumn(1), (std::vector<std::string>{"2", "3", "1"}));

    // A cell edit on it reaches the right row.
    pressCell(0, 3);
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update `" + odd.name() + "`.`order` set `select`='[编辑框内容]' where id=2");
    setText(w().sqlConsole, "zz");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select `select` from `" + odd.name() + "`.`order` where id=2"), "zz");

    // And the column editor adds a column with a reserved name after one.
    setText(w().columnNameBox, "key");
    setText(w().columnTypeBox, "INT(10)");
    setText(w().defaultBox, "0");
    setText(w().commentBox, "");
    w().afterColumnCombo->setCurrentIndex(1); // group
    QTest::mouseClick(w().addColumnButton, Qt::LeftButton);
    EXPECT_NE(console().find("执行成功！"), std::string::npos) << console();
    EXPECT_EQ(value("select ordinal_position from information_schema.columns where table_schema='" +
                    odd.name() + "' and table_name='order' and column_name='key'"),
              "3");
}

TEST_F(Workspace, ColumnWidthsComeBackAfterARestart)
{
    open(db.name(), "goods");
    grid().listSetColumnWidth(1, 96);
    grid().listSetColumnWidth(2, 120);
    QTest::mouseClick(w().saveWidthsButton, Qt::LeftButton);
    EXPECT_EQ(f.setting("列宽配置", (db.name() + ".goods").c_str()), "50|96|120|60|48");

    // A new program run over the same configuration.
    f.window.reset();
    resetAppState();
    f.start();
    open(db.name(), "goods");
    const int widths[] = {50, 96, 120, 60, 48};
    for (int c = 0; c < 5; ++c)
        EXPECT_EQ(grid().listColumnWidth(c), widths[c]) << c;

    // A column added later keeps 12 pixels per byte; pieces beyond the last
    // column do nothing, one that is no number hides its column.
    exec("alter table " + db.name() + ".goods add column weight int");
    ASSERT_TRUE(writeSetting("列宽配置"_gbk, utf8ToGbk(db.name() + ".goods"), "50|x|70.9"));
    open(db.name(), "goods");
    EXPECT_EQ(grid().listColumnWidth(0), 50);
    EXPECT_EQ(grid().listColumnWidth(1), 0);
    EXPECT_EQ(grid().listColumnWidth(2), 70);
    EXPECT_EQ(grid().listColumnWidth(5), 72);
}

TEST_F(Workspace, CellEditStoresTheConsoleText)
{
    open(db.name(), "goods");
    pressCell(1, 3); // price of id 2
    EXPECT_EQ(console(), "32.00");
    const std::string q = db.name() + ".goods";
    EXPECT_EQ(u8(getText(w().updateTemplateBox)), "update " + q + " set price='[编辑框内容]' where id=2");
    EXPECT_EQ(appState().clickedCellRow, 1);
    EXPECT_EQ(appState().clickedCellColumn, 3);
    EXPECT_EQ(grid().listCurrentRow(), 1);

    setText(w().sqlConsole, "13");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select price from " + q + " where id=2"), "13.00");
    EXPECT_EQ(u8(grid().listCell(1, 3)), "13"); // as typed, the grid is not queried again
    EXPECT_EQ(console(), "13");

    // A quote in the value is stored as typed and touches nothing else.
    pressCell(0, 2);
    setText(w().sqlConsole, utf8ToGbk("O'Brien', price='0"));
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select name from " + q + " where id=1"), "O'Brien', price='0");
    EXPECT_EQ(value("select price from " + q + " where id=1"), "5.50");
    EXPECT_EQ(u8(grid().listCell(0, 2)), "O'Brien', price='0");
    EXPECT_EQ(console(), "O'Brien', price='0");
}

TEST_F(Workspace, CellEditRunsATemplateEditedByHand)
{
    open(db.name(), "goods");
    const std::string q = db.name() + ".goods";
    pressCell(2, 2);
    // The placeholder twice: the console text goes into both places.
    setText(w().updateTemplateBox,
            utf8ToGbk("update " + q + " set name='[编辑框内容]', note='[编辑框内容]' where id=3"));
    setText(w().sqlConsole, "both");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select concat(name, '/', note) from " + q + " where id=3"), "both/both");
    EXPECT_EQ(u8(grid().listCell(2, 2)), "both");

    // A template turned into a query: its rows are not left to answer the
    // next statement on the connection.
    setText(w().updateTemplateBox, utf8ToGbk("select '[编辑框内容]'"));
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    QTest::mouseClick(w().queryButton, Qt::LeftButton);
    ASSERT_EQ(grid().listRowCount(), 3);
    EXPECT_EQ(gridColumn(2), (std::vector<std::string>{"苹果", "Coffee", "both"}));
}

TEST_F(Workspace, CellEditFindsTheRowByTheIdColumn)
{
    // The first column is not the id, and its values are other rows' ids.
    exec("create table " + db.name() + ".coded (code int, id int primary key, val varchar(10))");
    exec("insert into " + db.name() + ".coded values (1, 2, 'a'), (2, 1, 'b')");
    populateSchemaTree(w(), "");
    open(db.name(), "coded");
    int row = 0;
    while (row < grid().listRowCount() && grid().listCell(row, 1) != "1")
        ++row;
    ASSERT_LT(row, 2);
    pressCell(row, 3);
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".coded set val='[编辑框内容]' where id=2");
    setText(w().sqlConsole, "new");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select val from " + db.name() + ".coded where code=1"), "new");
    EXPECT_EQ(value("select val from " + db.name() + ".coded where code=2"), "b");
}

TEST_F(Workspace, CellEditQuotesAnIdThatIsNoNumber)
{
    // A text id goes in quoted, so it can never widen the where clause.
    exec("create table " + db.name() + ".sid (id varchar(20) primary key, v varchar(10))");
    exec("insert into " + db.name() + ".sid values ('1 or 1=1', 'a'), ('k', 'b')");
    populateSchemaTree(w(), "");
    open(db.name(), "sid");
    ASSERT_EQ(u8(grid().listCell(0, 1)), "1 or 1=1");
    pressCell(0, 2);
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".sid set v='[编辑框内容]' where id='1 or 1=1'");
    setText(w().sqlConsole, "new");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select v from " + db.name() + ".sid where id='k'"), "b");
    EXPECT_EQ(value("select v from " + db.name() + ".sid where id='1 or 1=1'"), "new");
}

// Statements that the program's own connection sent, from the server's
// general log (kept in a table while the object lives).
class SentStatements {
public:
    SentStatements()
    {
        adminExec("set global log_output='TABLE'");
        adminExec("set global general_log=1");
        const int connection = appState().connection;
        EXPECT_TRUE(execute(connection, "select connection_id()"));
        const int rows = storeResult(connection);
        readField(rows, 0, m_thread);
        freeResult(rows);
        clear();
    }
    ~SentStatements() { adminExec("set global general_log=0"); }
    void clear() { adminExec("truncate table mysql.general_log"); }
    // The updates sent since the last clear(), GBK.
    std::vector<std::string> updates() const
    {
        std::vector<std::string> sent;
        MYSQL *m = admin();
        const std::string sql =
            "select argument from mysql.general_log where command_type='Query' and thread_id=" + m_thread +
            " and argument like 'update%' order by event_time";
        EXPECT_EQ(mysql_real_query(m, sql.data(), sql.size()), 0) << mysql_error(m);
        if (MYSQL_RES *res = mysql_store_result(m)) {
            while (MYSQL_ROW row = mysql_fetch_row(res))
                sent.emplace_back(row[0], mysql_fetch_lengths(res)[0]);
            mysql_free_result(res);
        }
        return sent;
    }

private:
    std::string m_thread;
};

TEST_F(Workspace, CellEditAsksBeforeChangingSeveralRows)
{
    exec("create table " + db.name() + ".dup (id int, v varchar(10))");
    exec("insert into " + db.name() + ".dup values (1, 'a'), (1, 'b'), (2, 'c')");
    exec("create table " + db.name() + ".cp (id int, k int, v varchar(10), primary key (id, k))");
    exec("insert into " + db.name() + ".cp values (1, 1, 'a'), (1, 2, 'b')");
    populateSchemaTree(w(), "");
    SentStatements sent;

    // An id that is no key: the rows are counted first, and No sends nothing.
    open(db.name(), "dup");
    pressCell(0, 2);
    setText(w().sqlConsole, "z");
    f.dialogs.yesNoAnswers = {false};
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.questions, (std::vector<std::string>{"将修改2行，确定吗？"}));
    EXPECT_TRUE(sent.updates().empty());
    EXPECT_EQ(value("select group_concat(v order by v) from " + db.name() + ".dup"), "a,b,c");
    EXPECT_EQ(console(), "z");

    // Yes: both change and both cells show it; the console keeps the value.
    f.dialogs.yesNoAnswers = {true};
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select group_concat(v order by v) from " + db.name() + ".dup"), "c,z,z");
    EXPECT_EQ(gridColumn(2), (std::vector<std::string>{"z", "z", "c"}));
    EXPECT_EQ(console(), "z");
    EXPECT_TRUE(f.dialogs.messages.empty());

    // A second click stores exactly the console's text again.
    setText(w().sqlConsole, "zz");
    f.dialogs.yesNoAnswers = {true, true};
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select group_concat(v order by v) from " + db.name() + ".dup"), "c,zz,zz");
    EXPECT_EQ(console(), "zz");

    // The row is gone meanwhile: the count finds none, nothing is sent.
    pressCell(2, 2);
    exec("delete from " + db.name() + ".dup where id=2");
    sent.clear();
    setText(w().sqlConsole, "y");
    f.dialogs.messages.clear();
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"没有找到要修改的行"}));
    EXPECT_TRUE(sent.updates().empty());
    EXPECT_EQ(console(), "y");
    EXPECT_EQ(u8(grid().listCell(2, 2)), "c");

    // One column of a two-column primary key names no single row.
    open(db.name(), "cp");
    pressCell(0, 3);
    f.dialogs.yesNoAnswers = {false};
    f.dialogs.questions.clear();
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.questions, (std::vector<std::string>{"将修改2行，确定吗？"}));
    EXPECT_TRUE(sent.updates().empty());

    // A template edited by hand is counted too.
    open(db.name(), "goods");
    pressCell(0, 4);
    setText(w().updateTemplateBox,
            utf8ToGbk("update " + db.name() + ".goods set note='[编辑框内容]' where id>1"));
    f.dialogs.yesNoAnswers = {false};
    f.dialogs.questions.clear();
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.questions, (std::vector<std::string>{"将修改2行，确定吗？"}));
    EXPECT_TRUE(sent.updates().empty());

    // A primary key row deleted meanwhile: the update matches none and says so.
    pressCell(0, 4);
    exec("delete from " + db.name() + ".goods where id=1");
    f.dialogs.messages.clear();
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.messages, (std::vector<std::string>{"没有找到要修改的行"}));
    EXPECT_EQ(sent.updates().size(), 1u);
    EXPECT_EQ(console(), "山东");
}

TEST_F(Workspace, CellEditComparesTheIdAsItsTypeSays)
{
    const struct {
        const char *table, *idType, *ids, *clicked, *where;
    } cases[] = {
        // Text ids are quoted: '7' is not '007' nor '7.0'; '10' is not '1e1'.
        {"k1", "varchar(10) primary key", "'7','007','7.0'", "7", "id='7'"},
        {"k2", "varchar(10)", "'7','007','7.0','10','1e1'", "10", "id='10'"},
        {"k3", "int primary key", "7,8", "7", "id=7"},
        {"k4", "decimal(5,1) unique", "7.0,8.5", "7.0", "id=7.0"},
        {"k5", "char(4) primary key", "'乗','乣','運'", "乣", "id='乣'"},
    };
    for (const auto &c : cases) {
        const std::string table = db.name() + "." + c.table;
        exec("create table " + table + " (id " + c.idType + ", v varchar(10))");
        std::string ids = c.ids;
        for (std::size_t at = 0; (at = ids.find(',', at)) != std::string::npos; at += 9)
            ids.replace(at, 1, ", 'old'),(");
        exec("insert into " + table + " values (" + ids + ", 'old')");
    }
    populateSchemaTree(w(), "");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.table);
        open(db.name(), c.table);
        int row = 0;
        while (row < grid().listRowCount() && u8(grid().listCell(row, 1)) != c.clicked)
            ++row;
        ASSERT_LT(row, grid().listRowCount());
        pressCell(row, 2);
        const std::string table = db.name() + "." + c.table;
        EXPECT_EQ(u8(getText(w().updateTemplateBox)),
                  "update " + table + " set v='[编辑框内容]' where " + c.where);
        setText(w().sqlConsole, "new");
        QTest::mouseClick(w().updateButton, Qt::LeftButton);
        EXPECT_EQ(value("select count(*) from " + table + " where v='new'"), "1");
        EXPECT_EQ(value("select id from " + table + " where v='new'"), c.clicked);
    }
    EXPECT_TRUE(f.dialogs.questions.empty());
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(Workspace, CellEditKeepsDatabaseAndTableApart)
{
    // "da.b" + "t" and "da" + "b.t" read the same as "db.table".
    const std::string base = uniqueName("da");
    NamedDatabase dotted(base + ".b");
    NamedDatabase plain(base);
    const std::string first = "`" + base + ".b`.t";
    const std::string second = "`" + base + "`.`b.t`";
    for (const std::string &t : {first, second}) {
        exec("create table " + t + " (id int primary key, v varchar(10))");
        exec("insert into " + t + " values (1, 'orig')");
    }
    populateSchemaTree(w(), "");

    open(base + ".b", "t");
    EXPECT_EQ(u8(getText(w().tableLabel)), base + ".b.t");
    pressCell(0, 2);
    EXPECT_EQ(u8(getText(w().updateTemplateBox)), "update " + first + " set v='[编辑框内容]' where id=1");
    setText(w().sqlConsole, "new");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select v from " + first), "new");
    EXPECT_EQ(value("select v from " + second), "orig");

    // The column editor's alter table goes to the same table.
    setText(w().columnNameBox, "c2");
    setText(w().columnTypeBox, "INT(10)");
    setText(w().defaultBox, "0");
    setText(w().commentBox, "");
    w().afterColumnCombo->setCurrentIndex(1);
    QTest::mouseClick(w().addColumnButton, Qt::LeftButton);
    EXPECT_NE(console().find("执行成功！"), std::string::npos) << console();
    EXPECT_EQ(
        value("select count(*) from information_schema.columns where column_name='c2' and table_schema='" +
              base + ".b' and table_name='t'"),
        "1");
    EXPECT_EQ(
        value("select count(*) from information_schema.columns where column_name='c2' and table_schema='" +
              base + "'"),
        "0");

    open(base, "b.t");
    EXPECT_EQ(u8(getText(w().tableLabel)), base + ".b.t");
    pressCell(0, 2);
    setText(w().sqlConsole, "other");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select v from " + second), "other");
    EXPECT_EQ(value("select v from " + first), "new");
}

TEST_F(Workspace, CellEditOnATableNamedLikeThePlaceholder)
{
    // The typed value names another table: it must stay a value.
    exec("create table " + db.name() + ".`[编辑框内容]` (id int primary key, `[编辑框内容]` varchar(30))");
    exec("insert into " + db.name() + ".`[编辑框内容]` values (1, 'a')");
    exec("create table " + db.name() + ".x (id int primary key, `[编辑框内容]` varchar(30))");
    exec("insert into " + db.name() + ".x values (1, 'keep')");
    populateSchemaTree(w(), "");
    open(db.name(), "[编辑框内容]");
    pressCell(0, 2);
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".`[编辑框内容]` set `[编辑框内容]`='[编辑框内容]' where id=1");
    for (const char *typed : {"x", "[编辑框内容]"}) {
        setText(w().sqlConsole, utf8ToGbk(typed));
        QTest::mouseClick(w().updateButton, Qt::LeftButton);
        EXPECT_EQ(value("select `[编辑框内容]` from " + db.name() + ".`[编辑框内容]`"), typed);
        EXPECT_EQ(value("select `[编辑框内容]` from " + db.name() + ".x"), "keep");
    }
    // Edited by hand, the names still stay names.
    setText(
        w().updateTemplateBox,
        utf8ToGbk("update " + db.name() + ".`[编辑框内容]` set `[编辑框内容]`='[编辑框内容]' where id=1 "));
    setText(w().sqlConsole, "x2");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value("select `[编辑框内容]` from " + db.name() + ".`[编辑框内容]`"), "x2");
    EXPECT_EQ(value("select `[编辑框内容]` from " + db.name() + ".x"), "keep");
    EXPECT_TRUE(f.dialogs.messages.empty());
}

TEST_F(Workspace, CellEditKeepsBytesOrRefusesThem)
{
    exec("create table " + db.name() + ".bin (id int primary key, b blob)");
    exec("insert into " + db.name() +
         ".bin values (1, 0x81FF5C27), (2, 0x610062), (3, 'a\\nb'), (4, 'x\\r\\ny')");
    populateSchemaTree(w(), "");
    open(db.name(), "bin");
    SentStatements sent;
    const std::string hex = "select hex(b) from " + db.name() + ".bin where id=";

    // Bytes the console cannot hold: the press says so, 修改 sends nothing.
    for (int row : {0, 1}) {
        f.dialogs.messages.clear();
        pressCell(row, 2);
        QApplication::processEvents();
        ASSERT_EQ(f.dialogs.messages.size(), 1u) << row << " " << grid().listCell(row, 2).size() << console();
        EXPECT_NE(f.dialogs.messages[0].find("不能在这里修改"), std::string::npos);
        QTest::mouseClick(w().updateButton, Qt::LeftButton);
        EXPECT_EQ(f.dialogs.messages.size(), 2u);
    }
    EXPECT_TRUE(sent.updates().empty());
    EXPECT_EQ(value(hex + "1"), "81FF5C27");
    EXPECT_EQ(value(hex + "2"), "610062");

    // Line ends come back as they were, lone or paired, and typed lines
    // follow the value's own.
    pressCell(2, 2);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value(hex + "3"), "610A62");
    setText(w().sqlConsole, "a\r\nb\r\nc");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value(hex + "3"), "610A620A63");
    pressCell(3, 2);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(value(hex + "4"), "780D0A79");
    EXPECT_EQ(sent.updates().size(), 3u);
    EXPECT_TRUE(f.dialogs.messages.size() == 2u);
}

TEST_F(Workspace, CellEditOfLargeValues)
{
    exec("create table " + db.name() + ".big (id int primary key, v longtext)");
    // 1 MB of GBK exactly (乗 is two bytes), and 2 MB.
    exec("insert into " + db.name() + ".big values (1, repeat('乗', 524288)), (2, repeat('x', 2097152))");
    populateSchemaTree(w(), "");
    open(db.name(), "big");
    SentStatements sent;
    const Text full = adminQueryValue(utf8ToGbk("select v from " + db.name() + ".big where id=1"));
    ASSERT_EQ(full.size(), 1048576u);

    // Shown whole; stored back unchanged, then with one character changed.
    pressCell(0, 2);
    const ConsoleValue shown = consoleValue(full);
    EXPECT_TRUE(getText(w().sqlConsole) == shown.shown);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(sent.updates().size(), 1u);
    EXPECT_TRUE(adminQueryValue(utf8ToGbk("select v from " + db.name() + ".big where id=1")) == full);
    QTextCursor cursor(w().sqlConsole->document());
    cursor.setPosition(5000);
    cursor.deleteChar();
    cursor.insertText(QString::fromUtf8("錦"));
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    Text changed = full;
    changed.replace(2 * 4999, 2, utf8ToGbk("錦")); // 4096 characters and one break before it
    EXPECT_TRUE(adminQueryValue(utf8ToGbk("select v from " + db.name() + ".big where id=1")) == changed);
    EXPECT_TRUE(f.dialogs.messages.empty());

    // Above 1 MB: the start and a note; 修改 refuses.
    sent.clear();
    pressCell(1, 2);
    const std::string text = console();
    EXPECT_TRUE(text.substr(0, 4098) == std::string(4096, 'x') + "\r\n");
    EXPECT_NE(text.find("内容超过1MB"), std::string::npos);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("超过1MB"), std::string::npos);
    EXPECT_TRUE(sent.updates().empty());
    EXPECT_EQ(value("select length(v) from " + db.name() + ".big where id=2"), "2097152");
}

TEST_F(Workspace, RefusedCellEditShowsTheServerError)
{
    open(db.name(), "goods");
    pressCell(0, 0); // 序 is no column of the table
    EXPECT_EQ(console(), "1");
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".goods set 序='[编辑框内容]' where id=1");
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    // The error goes into a message: the console holds the value alone, so a
    // second click cannot store the error text.
    ASSERT_EQ(f.dialogs.messages.size(), 1u);
    EXPECT_NE(f.dialogs.messages[0].find("序"), std::string::npos) << f.dialogs.messages[0];
    EXPECT_EQ(console(), "1");
    EXPECT_EQ(u8(grid().listCell(0, 0)), "1");

    // A press below the last row: empty console, no id, row -1.
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {},
                      QPoint(grid().listCellCenter(0, 2).x(), grid().viewport()->height() - 3));
    EXPECT_EQ(console(), "");
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".goods set name='[编辑框内容]' where id=");
    EXPECT_EQ(appState().clickedCellRow, -1);
    QTest::mouseClick(w().updateButton, Qt::LeftButton);
    EXPECT_EQ(f.dialogs.messages.size(), 2u);
    EXPECT_EQ(value("select count(*) from " + db.name() + ".goods where name=''"), "0");

    // A press right of the last column: no column title, so none in the template.
    const int right = grid().columnViewportPosition(4) + grid().columnWidth(4) + 10;
    ASSERT_LT(right, grid().viewport()->width());
    QTest::mouseClick(grid().viewport(), Qt::LeftButton, {}, QPoint(right, grid().listCellCenter(0, 1).y()));
    EXPECT_EQ(console(), "");
    EXPECT_EQ(u8(getText(w().updateTemplateBox)),
              "update " + db.name() + ".goods set ='[编辑框内容]' where id=1");
    EXPECT_EQ(appState().clickedCellRow, 0);
    EXPECT_EQ(appState().clickedCellColumn, -1);
}

TEST_F(Workspace, ColumnEditorAddsAndModifies)
{
    open(db.name(), "goods");
    w().workspaceTabs->selectTab(0);
    QComboBox *types = w().typeCombo;
    ASSERT_EQ(types->count(), 13);
    // Picking lines with the keyboard: the 4th is INT(10), the 6th empty.
    types->setFocus();
    for (int i = 0; i < 6; ++i)
        QTest::keyClick(types, Qt::Key_Down);
    EXPECT_EQ(u8(getText(w().columnTypeBox)), "");
    EXPECT_EQ(u8(getText(w().defaultBox)), "''");
    QTest::keyClick(types, Qt::Key_Up);
    QTest::keyClick(types, Qt::Key_Up);
    EXPECT_EQ(u8(getText(w().columnTypeBox)), "INT(10)");
    EXPECT_EQ(u8(getText(w().defaultBox)), "0");

    setText(w().columnNameBox, utf8ToGbk("重量"));
    setText(w().commentBox, utf8ToGbk("it's 重"));
    w().afterColumnCombo->setCurrentIndex(1); // name
    w().unsignedCheck->setChecked(true);
    QTest::mouseClick(w().addColumnButton, Qt::LeftButton);
    const std::string q = db.name() + ".goods";
    EXPECT_EQ(console(), "alter table " + q +
                             " add 重量 INT(10) unsigned not null default 0 comment 'it\\'s 重'  after name"
                             "\r\n\r\n执行成功！\r\n");
    const std::string where = " from information_schema.columns where table_schema='" + db.name() +
                              "' and table_name='goods' and column_name='重量'";
    EXPECT_EQ(value("select ordinal_position" + where), "3");
    EXPECT_EQ(value("select column_comment" + where), "it's 重");
    EXPECT_EQ(value("select column_type" + where), "int(10) unsigned");

    setText(w().commentBox, "c2");
    setText(w().columnTypeBox, "BIGINT(10)");
    QTest::mouseClick(w().modifyColumnButton, Qt::LeftButton);
    EXPECT_NE(console().find("执行成功！"), std::string::npos) << console();
    EXPECT_EQ(value("select column_comment" + where), "c2");
    EXPECT_EQ(value("select column_type" + where), "bigint(10) unsigned");

    // The same column again: the server refuses and the console says why.
    QTest::mouseClick(w().addColumnButton, Qt::LeftButton);
    EXPECT_NE(console().find("执行失败！"), std::string::npos) << console();
}

TEST_F(Workspace, StructureDoubleClickLoadsTheColumn)
{
    open(db.name(), "goods");
    w().workspaceTabs->selectTab(0);
    ListView &s = *w().structureList;
    w().unsignedCheck->setChecked(true);
    const struct {
        int row;
        const char *name, *type, *def, *comment;
        bool unique;
    } cases[] = {
        {1, "name", "varchar(20)", nullptr, "名称", true},
        {3, "note", "varchar(20)", nullptr, "备注", false},
        {0, "id", "int(11)", "''", "", false},
    };
    for (const auto &c : cases) {
        QTest::mouseDClick(s.viewport(), Qt::LeftButton, {}, s.listCellCenter(c.row, 1));
        EXPECT_EQ(u8(getText(w().columnNameBox)), c.name);
        EXPECT_EQ(u8(getText(w().columnTypeBox)), c.type);
        EXPECT_EQ(u8(getText(w().commentBox)), c.comment);
        const Text shownDefault = s.listCell(c.row, 4);
        EXPECT_EQ(getText(w().defaultBox), shownDefault.empty() ? Text("''") : shownDefault);
        if (c.def) EXPECT_EQ(u8(getText(w().defaultBox)), c.def);
        EXPECT_EQ(w().uniqueCheck->isChecked(), c.unique) << c.name;
        EXPECT_TRUE(w().unsignedCheck->isChecked()); // left as it was
    }
}

TEST_F(Workspace, QueryButtonRunsTheQueryBox)
{
    open(db.name(), "goods");
    setText(w().queryBox, "select id, name from " + db.name() + ".goods where id > 1");
    QTest::mouseClick(w().queryButton, Qt::LeftButton);
    ASSERT_EQ(grid().listRowCount(), 2);
    EXPECT_EQ(gridColumn(2), (std::vector<std::string>{"Coffee", "香蕉"}));
    EXPECT_EQ(gridColumn(3), (std::vector<std::string>{"", ""})); // fields the answer lacks
    setText(w().queryBox, "select nonsense");
    QTest::mouseClick(w().queryButton, Qt::LeftButton);
    EXPECT_EQ(grid().listRowCount(), 0);
}

TEST_F(Workspace, FontSizeFromTheConfiguration)
{
    const struct {
        const char *text;
        int size;
    } cases[] = {{"12.9", 12}, {"", 0}, {"abc", 0}, {"-4", 0}, {"20", 20}};
    for (const auto &c : cases) {
        applyGridFontSize(w(), c.text);
        EXPECT_EQ(grid().listFontSize(), c.size) << c.text;
    }
}

} // namespace
} // namespace morvane::test

// The report-style list: its model under Qt's model tester, the numbered
// block the data grid fills, and the view's contract driven with real
// mouse events.
#include "ui/ListView.h"
#include "db/ResultTable.h"
#include "text/Gbk.h"
#include "ui/ListModel.h"

#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <cstring>
#include <string>
#include <vector>

namespace morvane {
namespace {

// A ResultTable from rows of optional fields (nullptr = SQL NULL).
ResultTable makeTable(int columns, const std::vector<std::vector<const char *>> &rows,
                      const std::vector<std::vector<unsigned long>> &lengths = {})
{
    ResultTable table;
    table.setColumnCount(columns);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        std::vector<unsigned long> len(std::size_t(columns), 0);
        for (int c = 0; c < columns; ++c) {
            if (r < lengths.size() && std::size_t(c) < lengths[r].size())
                len[std::size_t(c)] = lengths[r][std::size_t(c)];
            else if (rows[r][std::size_t(c)])
                len[std::size_t(c)] = std::strlen(rows[r][std::size_t(c)]);
        }
        table.appendRow(rows[r].data(), len.data());
    }
    return table;
}

QString shown(const ListModel &model, int row, int column)
{
    return model.data(model.index(row, column)).toString();
}

// Every kind of change the lists see, under the model tester: a fault in
// the notifications aborts the program.
TEST(ListModel, ConsistentUnderModelTester)
{
    ListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);

    model.appendColumn("a");
    model.appendColumn("b");
    model.setCheckable(true);
    model.appendRow("x");
    model.setCell(0, 1, "y");
    model.setCheckState(0, 1);
    model.appendColumn("c");
    model.deleteColumn(0);
    model.clearRows();

    model.setNumberedRows(makeTable(2, {{"1", "p"}, {"2", nullptr}, {"3", "r"}}));
    model.setCell(1, 2, "edited");
    model.appendRow("after");
    // A second fill over existing rows resets instead of inserting.
    model.setNumberedRows(makeTable(2, {{"9", "z"}}));
    model.deleteColumn(1);
    model.appendColumn("d");
    model.setColumns({"p", "q", "r", "s"});
    model.setNumberedRows(makeTable(2, {{"7", "w"}}));
    model.setCell(0, 3, "edited");
    model.setColumns({"one"});
    model.setColumns({});
    model.setColumns({"e", "f"});
    model.setNumberedRows(ResultTable());
    model.clearRows();
    model.deleteColumn(0);
    model.deleteColumn(0);
    model.deleteColumn(0);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_EQ(model.rowCount(), 0);
}

TEST(ListModel, NumberedRowsMapFieldsByPosition)
{
    ListModel model;
    for (const char *title : {"序", "id", "name"})
        model.appendColumn(utf8ToGbk(title));
    // Three fields, two data columns: the third field is not shown. Row 2
    // has a NULL; the embedded zero cuts the cell.
    const std::string zero("ab\0cd", 5);
    const std::string apple = utf8ToGbk("苹果");
    model.setNumberedRows(
        makeTable(3, {{"7", apple.c_str(), "hidden"}, {"8", nullptr, "x"}, {"9", zero.c_str(), "y"}},
                  {{}, {}, {1, 5, 1}}));

    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.cell(0, 0), "1");
    EXPECT_EQ(model.cell(2, 0), "3");
    EXPECT_EQ(model.cell(0, 1), "7");
    EXPECT_EQ(shown(model, 0, 2), QString::fromUtf8("苹果")); // GBK bytes shown as text
    EXPECT_EQ(model.cell(1, 2), "");
    EXPECT_EQ(model.cell(2, 2), "ab");
    EXPECT_EQ(shown(model, 2, 2), "ab");
    EXPECT_EQ(model.cell(0, 3), ""); // no such column
    EXPECT_EQ(model.cell(3, 0), ""); // no such row
    EXPECT_EQ(model.cell(-1, 0), "");

    // Fewer fields than columns: the extra columns stay empty.
    model.appendColumn("extra");
    model.appendColumn("more");
    model.setNumberedRows(makeTable(2, {{"1", "2"}}));
    EXPECT_EQ(model.cell(0, 2), "2");
    EXPECT_EQ(model.cell(0, 3), "");
    EXPECT_EQ(model.cell(0, 4), "");
}

TEST(ListModel, EditsAndColumnChangesOnNumberedRows)
{
    ListModel model;
    for (const char *title : {"n", "a", "b", "c"})
        model.appendColumn(title);
    model.setNumberedRows(makeTable(3, {{"a0", "b0", "c0"}, {"a1", "b1", "c1"}}));

    model.setCell(1, 2, "B1");
    model.setCell(0, 0, "first");
    EXPECT_EQ(model.cell(1, 2), "B1");
    EXPECT_EQ(model.cell(0, 2), "b0");
    EXPECT_EQ(model.cell(0, 0), "first");
    EXPECT_EQ(model.cell(1, 0), "2");

    // Deleting a column shifts the later ones, edits included.
    model.deleteColumn(1);
    EXPECT_EQ(model.cell(1, 1), "B1");
    EXPECT_EQ(model.cell(1, 2), "c1");
    // A column added afterwards is empty on the existing rows and editable.
    model.appendColumn("new");
    EXPECT_EQ(model.cell(0, 3), "");
    model.setCell(0, 3, "v");
    EXPECT_EQ(model.cell(0, 3), "v");
    EXPECT_EQ(model.columnTitle(3), "new");

    // Rows appended after the block are plain rows.
    const int row = model.appendRow("tail");
    EXPECT_EQ(row, 2);
    model.setCell(row, 2, "t2");
    EXPECT_EQ(model.cell(2, 0), "tail");
    EXPECT_EQ(model.cell(2, 2), "t2");

    // A refill drops every edit.
    model.setNumberedRows(makeTable(3, {{"x", "y", "z"}}));
    EXPECT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.cell(0, 0), "1");
    EXPECT_EQ(model.cell(0, 1), "x");
    EXPECT_EQ(model.cell(0, 3), "z");
}

// A cell of megabytes (a TEXT or BLOB column) must not stall painting: the
// view shows its beginning, cut at a character, while the cell keeps it all.
TEST(ListModel, HugeCellsPaintWithoutStalling)
{
    std::string big = "a";
    while (big.size() < 4 * 1024 * 1024)
        big += utf8ToGbk("长文本 ");
    ListView list;
    list.resize(800, 400);
    list.listAppendColumn("n", 50);
    list.listAppendColumn("a", 300);
    list.listAppendColumn("b", 300);
    list.listSetNumberedRows(makeTable(2, {{big.c_str(), big.c_str()}, {big.c_str(), "short"}}));
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));

    QElapsedTimer timer;
    timer.start();
    list.grab();
    // Laying out the whole texts takes well over ten seconds.
    EXPECT_LT(timer.elapsed(), 3000);

    EXPECT_EQ(list.listCell(0, 1), big);
    const QString shownCell = list.model()->data(list.model()->index(0, 1)).toString();
    EXPECT_LT(shownCell.size(), 2000);
    EXPECT_TRUE(shownCell.startsWith(QString::fromUtf8("a长文本 长文本")));
    EXPECT_FALSE(shownCell.contains(QChar(0xFFFD))); // no character cut in two
    EXPECT_EQ(list.model()->data(list.model()->index(1, 2)).toString(), "short");
}

TEST(ListModel, OneNotificationPerFill)
{
    ListModel model;
    model.appendColumn("n");
    model.appendColumn("v");
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy reset(&model, &QAbstractItemModel::modelReset);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);

    ResultTable table;
    table.setColumnCount(1);
    for (int i = 0; i < 50000; ++i) {
        const std::string v = std::to_string(i);
        const char *f[] = {v.c_str()};
        const unsigned long l[] = {v.size()};
        table.appendRow(f, l);
    }
    model.setNumberedRows(std::move(table));
    EXPECT_EQ(inserted.count() + reset.count(), 1);
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(model.rowCount(), 50000);
    EXPECT_EQ(model.cell(49999, 0), "50000");
    EXPECT_EQ(model.cell(49999, 1), "49999");
}

TEST(ListModel, CheckStates)
{
    ListModel model;
    model.appendColumn("name");
    model.appendRow("a");
    model.appendRow("b");
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.data(model.index(0, 0), Qt::CheckStateRole).isValid());
    model.setCheckable(true);
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, 0)) & Qt::ItemIsEditable);
    EXPECT_EQ(model.checkState(1), 0);
    model.setCheckState(1, 1);
    EXPECT_EQ(model.checkState(1), 1);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), int(Qt::Checked));
    EXPECT_TRUE(model.setData(model.index(0, 0), int(Qt::Checked), Qt::CheckStateRole));
    EXPECT_EQ(model.checkState(0), 1);
    model.setCheckState(0, 0);
    EXPECT_EQ(model.checkState(0), 0);
    EXPECT_EQ(model.checkState(7), 0);
    model.clearRows();
    model.appendRow("c");
    EXPECT_EQ(model.checkState(0), 0);
}

class ListViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        list.resize(400, 300);
        list.listAppendColumn("序", 50);
        list.listAppendColumn("id", 60);
        list.listAppendColumn(utf8ToGbk("名称"), 80);
        for (int r = 0; r < 5; ++r) {
            const int row = list.listAppendRow(std::to_string(r + 1));
            list.listSetCell(row, 1, std::to_string(100 + r));
            list.listSetCell(row, 2, utf8ToGbk("行") + std::to_string(r));
        }
        list.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    }
    ListView list;
};

TEST_F(ListViewTest, ReportStyle)
{
    EXPECT_TRUE(list.horizontalHeader()->isVisible());
    EXPECT_TRUE(list.horizontalHeader()->sectionsClickable());
    EXPECT_FALSE(list.verticalHeader()->isVisible());
    EXPECT_EQ(list.selectionBehavior(), QAbstractItemView::SelectRows);
    EXPECT_EQ(list.selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(list.editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_TRUE(list.showGrid());
    for (int c = 0; c < list.listColumnCount(); ++c)
        EXPECT_EQ(list.horizontalHeader()->sectionResizeMode(c), QHeaderView::Interactive);
    EXPECT_EQ(list.model()->headerData(2, Qt::Horizontal).toString(), QString::fromUtf8("名称"));
    EXPECT_EQ(list.listColumnTitle(2), utf8ToGbk("名称"));
}

TEST_F(ListViewTest, ColumnWidths)
{
    EXPECT_EQ(list.listColumnWidth(0), 50);
    EXPECT_EQ(list.listColumnWidth(2), 80);
    list.listSetColumnWidth(1, 0); // width 0 hides the column
    EXPECT_EQ(list.listColumnWidth(1), 0);
    list.listSetColumnWidth(1, -4);
    EXPECT_EQ(list.listColumnWidth(1), 0);
    list.listSetColumnWidth(1, 123);
    EXPECT_EQ(list.listColumnWidth(1), 123);
    EXPECT_EQ(list.listColumnWidth(9), 0);
    list.listAppendColumn("x");
    EXPECT_EQ(list.listColumnWidth(3), 50);
    list.listDeleteColumn(0);
    EXPECT_EQ(list.listColumnCount(), 3);
    EXPECT_EQ(list.listColumnWidth(0), 123);
    EXPECT_EQ(list.listCell(0, 0), "100"); // cells move with their column
}

TEST_F(ListViewTest, HeaderClickReportsTheColumn)
{
    QSignalSpy spy(&list, &ListView::headerClicked);
    QHeaderView *header = list.horizontalHeader();
    const QPoint at(header->sectionViewportPosition(2) + 10, header->height() / 2);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, at);
    ASSERT_EQ(spy.count(), 1);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 2);
}

TEST_F(ListViewTest, LeftPressComesBeforeTheSelectionAndDoubleClickAfter)
{
    int selectedAtPress = -2;
    int rowAtPress = -2, columnAtPress = -2;
    QObject::connect(&list, &ListView::leftPressed, [&](int x, int y) {
        selectedAtPress = list.listCurrentRow();
        list.listCellAt(x, y, rowAtPress, columnAtPress);
    });
    int selectedAtDouble = -2;
    QObject::connect(&list, &ListView::doubleClickedAt,
                     [&](int, int) { selectedAtDouble = list.listCurrentRow(); });

    EXPECT_EQ(list.listCurrentRow(), -1);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.listCellCenter(3, 2));
    EXPECT_EQ(selectedAtPress, -1); // the press handler runs first
    EXPECT_EQ(rowAtPress, 3);
    EXPECT_EQ(columnAtPress, 2);
    EXPECT_EQ(list.listCurrentRow(), 3); // then the list selects as usual

    QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, list.listCellCenter(1, 1));
    EXPECT_EQ(selectedAtDouble, 1);

    // A right press is no left press.
    rowAtPress = -2;
    QTest::mousePress(list.viewport(), Qt::RightButton, {}, list.listCellCenter(0, 0));
    EXPECT_EQ(rowAtPress, -2);
}

TEST_F(ListViewTest, HitTest)
{
    int row = 0, column = 0;
    const QPoint c = list.listCellCenter(4, 1);
    list.listCellAt(c.x(), c.y(), row, column);
    EXPECT_EQ(row, 4);
    EXPECT_EQ(column, 1);
    // Below the last row: no row, the column still follows x.
    list.listCellAt(c.x(), list.viewport()->height() - 2, row, column);
    EXPECT_EQ(row, -1);
    EXPECT_EQ(column, 1);
}

TEST_F(ListViewTest, FontSizeChangesOnlyTheHeight)
{
    const QString family = list.font().family();
    const int defaultSize = list.font().pointSize();
    const int defaultRow = list.rowHeight(0);
    list.listSetFontSize(30);
    EXPECT_EQ(list.listFontSize(), 30);
    EXPECT_EQ(list.font().pointSize(), 30);
    EXPECT_EQ(list.font().family(), family);
    EXPECT_GT(list.rowHeight(0), defaultRow); // rows follow the font
    list.listSetFontSize(0);
    EXPECT_EQ(list.font().pointSize(), defaultSize);
    EXPECT_EQ(list.rowHeight(0), defaultRow);
    list.listSetFontSize(-3); // counts as 0
    EXPECT_EQ(list.listFontSize(), 0);
    EXPECT_EQ(list.font().pointSize(), defaultSize);
}

TEST_F(ListViewTest, ClearKeepsColumnsAndCheckBoxes)
{
    list.setCheckBoxes(true);
    list.listSetCheckState(2, 1);
    EXPECT_EQ(list.listCheckState(2), 1);
    EXPECT_EQ(list.listCheckState(1), 0);
    list.listClearRows();
    EXPECT_EQ(list.listRowCount(), 0);
    EXPECT_EQ(list.listColumnCount(), 3);
    EXPECT_EQ(list.listCurrentRow(), -1);
    EXPECT_EQ(list.listCell(0, 0), "");
}

} // namespace
// Replacing every column at once leaves the list as deleting each column and
// appending the new ones would: titles, widths, header sections, rows kept
// with nothing in the new columns, edits dropped, the next fill mapped.
TEST(ListView, SetColumnsMatchesDeletingAndAppendingEach)
{
    struct Case {
        const char *name;
        std::vector<Text> titles;
        std::vector<int> widths;
    };
    const Case cases[] = {
        {"more", {"序", "id", utf8ToGbk("名称"), "note"}, {50, 60, 0, 240}},
        {"fewer", {"序"}, {50}},
        {"none", {}, {}},
        {"negative width", {"序", "a"}, {-3, 70}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ListView one, batch;
        for (ListView *list : {&one, &batch}) {
            list->listAppendColumn("old0", 33);
            list->listAppendColumn("old1", 44);
            list->listSetNumberedRows(makeTable(1, {{"a"}, {"b"}, {"c"}}));
            list->listSetCell(1, 1, "edited");
            list->listAppendRow("plain");
            list->listSetCell(3, 1, "cell");
        }
        for (int n = one.listColumnCount(); n > 0; --n)
            one.listDeleteColumn(0);
        for (std::size_t k = 0; k < c.titles.size(); ++k)
            one.listAppendColumn(c.titles[k], c.widths[k]);
        batch.listSetColumns(c.titles, c.widths);

        ASSERT_EQ(batch.listColumnCount(), one.listColumnCount());
        EXPECT_EQ(batch.horizontalHeader()->count(), batch.listColumnCount());
        ASSERT_EQ(batch.listRowCount(), one.listRowCount());
        for (int k = 0; k < one.listColumnCount(); ++k) {
            EXPECT_EQ(batch.listColumnTitle(k), one.listColumnTitle(k)) << k;
            EXPECT_EQ(batch.listColumnWidth(k), one.listColumnWidth(k)) << k;
            EXPECT_EQ(batch.model()->headerData(k, Qt::Horizontal),
                      one.model()->headerData(k, Qt::Horizontal));
            for (int r = 0; r < one.listRowCount(); ++r)
                EXPECT_EQ(batch.listCell(r, k), one.listCell(r, k)) << r << "," << k;
        }
        for (ListView *list : {&one, &batch})
            list->listSetNumberedRows(makeTable(2, {{"x", "y"}}));
        for (int k = 0; k < one.listColumnCount(); ++k)
            EXPECT_EQ(batch.listCell(0, k), one.listCell(0, k)) << k;
    }
}

} // namespace morvane

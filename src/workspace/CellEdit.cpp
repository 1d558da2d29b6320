#include "workspace/CellEdit.h"

#include "db/Connection.h"
#include "db/ErrorText.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/ListModel.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/CellEditText.h"
#include "workspace/TableView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdint>

namespace morvane {

namespace {

// The grid column that holds the row's id: the one titled id, else the
// table's first column.
int idColumn(const ListView &grid)
{
    for (int c = 1; c < grid.listColumnCount(); ++c)
        if (sameAsciiFold(grid.listColumnTitle(c), "id")) return c;
    return 1;
}

struct IdColumn {
    bool known = false; // the structure list describes it
    bool numeric = false;
    bool unique = false; // the table's one-column primary key, or a unique key
};

// What the structure list says about the column titled `title`: its Type,
// and its Key ("PRI" names every column of a primary key, "UNI" only a
// one-column unique key).
IdColumn describeIdColumn(const ListView &structure, const Text &title)
{
    IdColumn id;
    int primaryParts = 0;
    Text key;
    for (int r = 0; r < structure.listRowCount(); ++r) {
        if (structure.listCell(r, 3) == "PRI") ++primaryParts;
        if (!id.known && sameAsciiFold(structure.listCell(r, 1), title)) {
            id.known = true;
            id.numeric = isNumericColumnType(structure.listCell(r, 2));
            key = structure.listCell(r, 3);
        }
    }
    id.unique = id.known && ((key == "PRI" && primaryParts == 1) || key == "UNI");
    return id;
}

const Text &refusedValueText()
{
    static const Text text =
        "这个单元格的内容含有编辑框无法原样保存的字节（不是GBK文字，或含有零字节），不能在这里修改"_gbk;
    return text;
}

const Text &cutValueText()
{
    static const Text text = "这个单元格的内容超过1MB，编辑框里只有它的开头部分，不能在这里修改"_gbk;
    return text;
}

// The press is still being handled by the grid: the message comes after it.
void messageAfterPress(MainWindow &window, const Text &text)
{
    QMetaObject::invokeMethod(
        &window, [text] { messageBox(text); }, Qt::QueuedConnection);
}

// "select count(*) …" for the rows an update would touch; -1 when the
// server refused it (its error is shown).
std::int64_t countRows(int connection, const Text &table, const Text &where)
{
    const Text statement = "select count(*) from " + table + (where.empty() ? Text() : " where " + where);
    if (!execute(connection, statement)) {
        messageBox(serverErrorText(connection));
        return -1;
    }
    const int rows = storeResult(connection);
    Text count;
    readField(rows, 0, count);
    freeResult(rows);
    return std::int64_t(toNumber(count));
}

Text rowCountText(std::int64_t n)
{
    return toText(int(std::min<std::int64_t>(n, INT32_MAX)));
}

} // namespace

void prepareCellEdit(MainWindow &window, int x, int y)
{
    ListView &grid = *window.dataGrid;
    int row = -1;
    int column = -1;
    grid.listCellAt(x, y, row, column);
    const int connection = appState().connection;

    CellEditState edit;
    edit.prepared = true;
    edit.value = grid.listCell(row, column);
    edit.console = consoleValue(edit.value);
    // The grid gives a cell's bytes up to a zero byte; the rest cannot come
    // back through the console either.
    if (grid.listModel()->cellHoldsZero(row, column)) edit.console.faithful = false;
    setText(window.sqlConsole, edit.console.shown);

    edit.idColumn = idColumn(grid);
    edit.id = grid.listCell(row, edit.idColumn);
    const IdColumn id = describeIdColumn(*window.structureList, grid.listColumnTitle(edit.idColumn));
    // A number compares bare with a numeric column; anything else is quoted,
    // so a text id matches itself only ('7' not '007' or '7.0'). An empty id
    // (no row, or NULL) stays empty and the server refuses the statement.
    Text literal = edit.id;
    const bool bare = edit.id.empty() || (isPlainNumber(edit.id) && (id.numeric || !id.known));
    if (!bare) literal = "'" + sqlValue(connection, edit.id) + "'";
    edit.uniqueRow = id.unique && (bare || !id.numeric);
    edit.table = openedTableName(window);
    edit.where = "id=" + literal;
    const Text head = "update " + edit.table + " set " + sqlNameOrEmpty(grid.listColumnTitle(column)) + "='";
    edit.valueAt = head.size();
    edit.statement = head + cellValuePlaceholder() + "' where " + edit.where;
    setText(window.updateTemplateBox, edit.statement);
    edit.shownStatement = getText(window.updateTemplateBox);

    appState().clickedCellRow = row;
    appState().clickedCellColumn = column;
    const bool refused = !edit.console.faithful && !edit.console.cut;
    appState().cellEdit = std::move(edit);
    if (refused) messageAfterPress(window, refusedValueText());
}

void applyCellEdit(MainWindow &window)
{
    const int connection = appState().connection;
    CellEditState &edit = appState().cellEdit;
    if (edit.prepared && edit.console.cut) {
        messageBox(cutValueText());
        return;
    }
    if (edit.prepared && !edit.console.faithful) {
        messageBox(refusedValueText());
        return;
    }
    const Text console = getText(window.sqlConsole);
    const Text value = edit.prepared ? valueFromConsole(edit.value, edit.console, console) : console;
    const Text literal = sqlValue(connection, value);

    // The composed template takes the value at the one place it was written
    // for. A template edited by hand takes it wherever a placeholder stands
    // as a whole quoted value ('[编辑框内容]'), never inside a name, another
    // literal or a comment; and since its condition is the user's, the rows
    // it names are counted first.
    const Text box = getText(window.updateTemplateBox);
    const bool composed = edit.prepared && box == edit.shownStatement;
    Text statement;
    Text table;
    Text where;
    bool count = false;
    if (composed) {
        const std::size_t length = cellValuePlaceholder().size();
        statement =
            edit.statement.substr(0, edit.valueAt) + literal + edit.statement.substr(edit.valueAt + length);
        table = edit.table;
        where = edit.where;
        count = !edit.uniqueRow;
    } else {
        statement = fillPlaceholders(box, valuePlaceholders(box), literal);
        count = updateTarget(statement, table, where);
    }

    std::int64_t confirmed = -1;
    if (count) {
        const std::int64_t rows = countRows(connection, table, where);
        if (rows < 0) return;
        if (rows == 0) {
            messageBox("没有找到要修改的行"_gbk);
            return;
        }
        if (rows != 1) {
            if (!askYesNo("将修改"_gbk + rowCountText(rows) + "行，确定吗？"_gbk)) return;
            confirmed = rows;
        }
    }

    if (!execute(connection, statement)) {
        messageBox(serverErrorText(connection));
        return;
    }
    const std::int64_t matched = rowsMatched(connection);
    // A template edited into a query must not leave its rows pending on the
    // shared connection, where they would answer the next statement.
    discardResult(connection);
    if (matched == 0) {
        messageBox("没有找到要修改的行"_gbk);
        return;
    }
    if (matched < 0) return; // no update: nothing in the grid to change

    ListView &grid = *window.dataGrid;
    const int row = appState().clickedCellRow;
    const int column = appState().clickedCellColumn;
    grid.listSetCell(row, column, value);
    if (matched > 1 && composed) {
        for (int r = 0; r < grid.listRowCount(); ++r)
            if (r != row && grid.listCell(r, edit.idColumn) == edit.id) grid.listSetCell(r, column, value);
    }
    // The console now stands for the stored value, so a second click stores
    // the same value again.
    if (edit.prepared) {
        edit.value = value;
        edit.console = consoleValue(value);
        if (edit.console.shown != console) setText(window.sqlConsole, edit.console.shown);
    }
    if (matched > 1 && matched != confirmed)
        messageBox("注意：修改了"_gbk + rowCountText(matched) + "行"_gbk);
}

} // namespace morvane

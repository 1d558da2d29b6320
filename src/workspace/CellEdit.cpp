#include "workspace/CellEdit.h"

#include "db/Connection.h"
#include "db/ErrorText.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/TableView.h"

#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>
#include <cstdint>

namespace morvane {

namespace {

const Text kPlaceholder = "[编辑框内容]"_gbk;

bool sameAsciiFold(const Text &a, const Text &b)
{
    return a.size() == b.size() && findText(a, b, 1, true) == 1;
}

// The grid column that holds the row's id: the one titled id, else the
// table's first column.
int idColumn(const ListView &grid)
{
    for (int c = 1; c < grid.listColumnCount(); ++c)
        if (sameAsciiFold(grid.listColumnTitle(c), "id")) return c;
    return 1;
}

// A plain number stands as it is; anything else is quoted, so an id text
// can never widen the where clause.
Text idLiteral(const Text &id)
{
    if (id.empty()) return id;
    std::size_t i = id[0] == '-' ? 1 : 0;
    bool digits = false;
    bool point = false;
    for (; i < id.size(); ++i) {
        if (id[i] >= '0' && id[i] <= '9')
            digits = true;
        else if (id[i] == '.' && !point)
            point = true;
        else
            return "'" + sqlValue(appState().connection, id) + "'";
    }
    return digits ? id : "'" + sqlValue(appState().connection, id) + "'";
}

} // namespace

void prepareCellEdit(MainWindow &window, int x, int y)
{
    ListView &grid = *window.dataGrid;
    int row = -1;
    int column = -1;
    grid.listCellAt(x, y, row, column);
    setText(window.sqlConsole, grid.listCell(row, column));
    const Text id = grid.listCell(row, idColumn(grid));
    setText(window.updateTemplateBox, "update " + sqlTableName(getText(window.tableLabel)) + " set " +
                                          sqlNameOrEmpty(grid.listColumnTitle(column)) + "='" + kPlaceholder +
                                          "' where id=" + idLiteral(id));
    appState().clickedCellRow = row;
    appState().clickedCellColumn = column;
}

void applyCellEdit(MainWindow &window)
{
    const int connection = appState().connection;
    const Text value = getText(window.sqlConsole);
    const Text statement =
        replaceText(getText(window.updateTemplateBox), kPlaceholder, sqlValue(connection, value));
    if (!execute(connection, statement)) {
        appendText(window.sqlConsole, "\r\n" + serverErrorText(connection) + "\r\n");
        return;
    }
    // An update that matched no row stored nothing: the cell keeps its text.
    const std::int64_t matched = rowsMatched(connection);
    // A template edited into a query must not leave its rows pending on the
    // shared connection, where they would answer the next statement.
    discardResult(connection);
    if (matched == 0) {
        appendText(window.sqlConsole, "\r\n没有找到要修改的行\r\n"_gbk);
        return;
    }
    window.dataGrid->listSetCell(appState().clickedCellRow, appState().clickedCellColumn, value);
    if (matched > 1)
        appendText(window.sqlConsole, "\r\n注意：修改了"_gbk +
                                          toText(int(std::min<std::int64_t>(matched, INT32_MAX))) +
                                          "行\r\n"_gbk);
}

} // namespace morvane

#include "workspace/DataGrid.h"

#include "config/Settings.h"
#include "db/Connection.h"
#include "db/ResultTable.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <algorithm>

namespace morvane {

void runGridQuery(MainWindow &window, const Text &statement)
{
    ListView &grid = *window.dataGrid;
    // The old rows go first, so a big answer never sits in memory twice.
    grid.listClearRows();
    const int connection = appState().connection;
    execute(connection, statement);
    // All rows in one compact block and one notification; column 0 shows
    // the row number, column j field j - 1. A statement without rows, or a
    // failed one, leaves the grid empty.
    ResultTable rows;
    if (fetchResultTable(connection, rows))
        grid.listSetNumberedRows(std::move(rows));
    else if (fetchRanOutOfMemory(connection))
        messageBox("结果太大，内存不足，无法显示"_gbk);
}

void runQueryButton(MainWindow &window)
{
    runGridQuery(window, getText(window.queryBox));
}

Text sortedStatement(const Text &statement, const Text &title)
{
    const Text column = sqlName(title);
    Text oldText;
    Text newText;
    if (findText(statement, "ORDER BY", 1, true) == -1) {
        oldText = "limit";
        newText = "ORDER BY " + column + " desc limit";
    } else {
        oldText = "ORDER BY" + textBetween(statement, "ORDER BY", "limit", true) + "limit";
        const bool ascending = findText(statement, " ASC", 1, true) != -1;
        newText = "ORDER BY " + column + (ascending ? " desc limit" : " ASC limit");
    }
    return replaceText(statement, oldText, newText);
}

void sortByColumn(MainWindow &window, int column)
{
    const Text statement = getText(window.queryBox);
    setText(window.queryBox, sortedStatement(statement, window.dataGrid->listColumnTitle(column)));
    runGridQuery(window, getText(window.queryBox));
}

Text columnWidthsText(const ListView &list)
{
    Text text;
    for (int k = 0; k < list.listColumnCount(); ++k)
        text += toText(list.listColumnWidth(k)) + "|";
    return trimMarker(text, "|");
}

void saveColumnWidths(MainWindow &window)
{
    writeSetting("列宽配置"_gbk, getText(window.tableLabel), columnWidthsText(*window.dataGrid));
}

void restoreColumnWidths(MainWindow &window, const Text &key)
{
    const std::vector<Text> pieces = splitText(readSetting("列宽配置"_gbk, key), "|");
    for (std::size_t i = 0; i < pieces.size(); ++i)
        window.dataGrid->listSetColumnWidth(int(i), truncateToInt(toNumber(pieces[i])));
}

void applyGridFontSize(MainWindow &window, const Text &sizeText)
{
    window.dataGrid->listSetFontSize(std::max(truncateToInt(toNumber(sizeText)), 0));
}

} // namespace morvane

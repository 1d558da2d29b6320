#include "workspace/TableView.h"

#include "db/Connection.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/DataGrid.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace morvane {

Text openedTableName(const MainWindow &window)
{
    const AppState &state = appState();
    // Either name may hold a full stop, so the caption cannot be split again.
    if (state.openedDatabase.empty() && state.openedTable.empty())
        return sqlNameOrEmpty(getText(window.tableLabel));
    return sqlQualifiedName(state.openedDatabase, state.openedTable);
}

void openTable(MainWindow &window, const Text &database, const Text &table)
{
    const Text qualified = database + "." + table;
    // The label and the widths key keep the plain name; statements get
    // names quoted where they need it.
    const Text name = sqlQualifiedName(database, table);
    const int connection = appState().connection;

    appState().openedDatabase = database;
    appState().openedTable = table;
    setText(window.tableLabel, qualified);
    setText(window.queryBox, "select * from " + name + " limit 100");
    window.structureList->listClearRows();
    comboClear(window.afterColumnCombo);

    ListView &grid = *window.dataGrid;
    std::vector<Text> titles{"序"_gbk};
    std::vector<int> widths{50};

    execute(connection, "show full columns from " + name);
    const int columns = storeResult(connection);
    const std::uint64_t count = rowCount(columns);
    static const char *const kShown[] = {"Type", "Key", "Default", "Extra", "Comment"};
    for (std::uint64_t i = 0; i < count; ++i) {
        ListView &list = *window.structureList;
        const int r = list.listAppendRow();
        Text field;
        readField(columns, "Field", field);
        list.listSetCell(r, 0, toText(r + 1));
        list.listSetCell(r, 1, field);
        for (int k = 0; k < 5; ++k) {
            Text value;
            readField(columns, kShown[k], value);
            list.listSetCell(r, k + 2, value);
        }
        comboAddItem(window.afterColumnCombo, field);
        titles.push_back(field);
        widths.push_back(textLength(field) * 12);
        nextRow(columns);
    }
    freeResult(columns);
    grid.listSetColumns(titles, widths);

    restoreColumnWidths(window, qualified);
    runGridQuery(window, getText(window.queryBox));

    execute(connection, "show create table " + name);
    const int create = storeResult(connection);
    Text statement;
    readField(create, "Create Table", statement);
    setText(window.createStatementBox, formatCreateStatement(statement));
    freeResult(create);
}

Text formatCreateStatement(const Text &statement)
{
    Text s = replaceText(statement, "(", "(\r\n", 1);
    s = replaceText(s, ") ENGINE", "\r\n) ENGINE", 1);
    // A Qt edit box breaks the line at the server's own line feed as well, so
    // "\r\n" beside it would show as a blank line, and reading the box back
    // gives "\r\n" for each. One "\r\n" per line shows each definition on
    // one line and reads back as it was written.
    s = replaceText(s, "\r\n\n", "\r\n");
    s = replaceText(s, "\n\r\n", "\r\n");
    s = replaceText(s, "\r\n", "\n");
    return replaceText(s, "\n", "\r\n");
}

void stripBackquotes(MainWindow &window)
{
    setText(window.createStatementBox, replaceText(getText(window.createStatementBox), "`", ""));
}

} // namespace morvane

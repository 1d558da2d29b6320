#include "workspace/TableView.h"

#include "app/AppState.h"
#include "app/MainWindow.h"
#include "db/Connection.h"
#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/DataGrid.h"

#include <QLabel>
#include <QPlainTextEdit>

namespace morvane {

Text sqlTableName(const Text &qualifiedName)
{
    const int dot = findText(qualifiedName, ".");
    if (dot == -1) return sqlNameOrEmpty(qualifiedName);
    return sqlQualifiedName(leftText(qualifiedName, dot - 1),
                            midText(qualifiedName, dot + 1, textLength(qualifiedName) - dot));
}

void openTable(MainWindow &window, const Text &database, const Text &table)
{
    const Text qualified = database + "." + table;
    // The label and the widths key keep the plain name; statements get
    // names quoted where they need it.
    const Text name = sqlQualifiedName(database, table);
    const int connection = appState().connection;

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
    return replaceText(s, ",\n  ", ",\r\n\n  ");
}

void stripBackquotes(MainWindow &window)
{
    setText(window.createStatementBox, replaceText(getText(window.createStatementBox), "`", ""));
}

} // namespace morvane

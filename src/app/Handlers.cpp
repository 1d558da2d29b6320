#include "app/Handlers.h"

#include "console/SqlConsole.h"
#include "mainwindow/MainWindow.h"
#include "schema/SchemaTree.h"
#include "schema/TreeCommands.h"
#include "ui/ListView.h"
#include "ui/TreeView.h"
#include "workspace/CellEdit.h"
#include "workspace/ColumnEditor.h"
#include "workspace/DataGrid.h"
#include "workspace/TableView.h"

#include <QAction>
#include <QComboBox>
#include <QPushButton>

namespace morvane {

void connectHandlers(MainWindow &window)
{
    auto on = [&window](auto *sender, auto signal, void (*handler)(MainWindow &)) {
        QObject::connect(sender, signal, &window, [&window, handler] { handler(window); });
    };
    on(window.schemaTree, &TreeView::doubleClicked, onSchemaTreeDoubleClicked);
    on(window.schemaTree, &TreeView::rightPressed, showTreeMenu);
    on(window.runSqlButton, &QPushButton::clicked, runSqlConsole);
    on(window.stripBackquotesButton, &QPushButton::clicked, stripBackquotes);
    on(window.queryButton, &QPushButton::clicked, runQueryButton);
    on(window.saveWidthsButton, &QPushButton::clicked, saveColumnWidths);
    on(window.updateButton, &QPushButton::clicked, applyCellEdit);
    on(window.addColumnButton, &QPushButton::clicked, addColumn);
    on(window.modifyColumnButton, &QPushButton::clicked, modifyColumn);
    on(window.typeCombo, &QComboBox::activated, onTypeLinePicked);
    on(window.structureList, &ListView::doubleClickedAt, onStructureListDoubleClicked);
    QObject::connect(window.dataGrid, &ListView::headerClicked, &window,
                     [&window](int column) { sortByColumn(window, column); });
    QObject::connect(window.dataGrid, &ListView::leftPressed, &window,
                     [&window](int x, int y) { prepareCellEdit(window, x, y); });

    on(window.preferencesAction, &QAction::triggered, preferencesCommand);
    on(window.newDatabaseAction, &QAction::triggered, newDatabaseCommand);
    on(window.newTableInDatabaseAction, &QAction::triggered, newTableInDatabaseCommand);
    on(window.dropDatabaseAction, &QAction::triggered, dropDatabaseCommand);
    on(window.newTableAction, &QAction::triggered, newTableCommand);
    on(window.dropTableAction, &QAction::triggered, dropTableCommand);
    on(window.truncateTableAction, &QAction::triggered, truncateTableCommand);
}

} // namespace morvane

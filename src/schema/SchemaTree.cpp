#include "schema/SchemaTree.h"

#include "db/Connection.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "schema/TreeCommands.h"
#include "ui/TreeView.h"
#include "workspace/TableView.h"

#include <QCursor>
#include <QMenu>

namespace morvane {

namespace {

// Every row's value of one column of the statement's result; a failed read
// gives an empty name, a failed statement no names.
std::vector<Text> readColumn(int connection, const Text &statement, const Text &column)
{
    execute(connection, statement);
    const int rs = storeResult(connection);
    const std::uint64_t n = rowCount(rs);
    std::vector<Text> names;
    names.reserve(n);
    for (std::uint64_t i = 0; i < n; ++i) {
        Text name;
        readField(rs, column, name);
        names.push_back(std::move(name));
        nextRow(rs);
    }
    freeResult(rs);
    return names;
}

} // namespace

std::vector<Text> listDatabases(int connection)
{
    return readColumn(connection, "show databases", "Database");
}

std::vector<Text> listTables(int connection, const Text &database)
{
    // Not selected (gone, renamed, no connection): "show tables" would answer
    // for whichever database was selected before, as rows of empty names.
    if (!selectDatabase(connection, database)) return {};
    return readColumn(connection, "show tables", "Tables_in_" + database);
}

bool isHiddenDatabase(const Text &hiddenDatabases, const Text &name)
{
    return findText(hiddenDatabases, name + "|", 1, false) != -1;
}

void populateSchemaTree(MainWindow &window, const Text &hiddenDatabases)
{
    TreeView *tree = window.schemaTree;
    tree->treeClear();
    tree->treeAddItem(-1, "localhost", 3);
    for (const Text &name : listDatabases(appState().connection)) {
        if (!isHiddenDatabase(hiddenDatabases, name)) tree->treeAddItem(0, name, 0, 4, 0);
    }
    tree->treeExpand(0);
}

void onSchemaTreeDoubleClicked(MainWindow &window)
{
    TreeView *tree = window.schemaTree;
    const int sel = tree->treeCurrentItem();
    const int parent = tree->treeParent(sel);
    if (parent == 0) {
        if (tree->treeItemValue(sel) != 0) return;
        for (const Text &name : listTables(appState().connection, tree->treeItemText(sel)))
            tree->treeAddItem(sel, name, 1);
        // Marked loaded even when nothing came back: it is not asked again
        // until the tree is rebuilt.
        tree->treeSetItemValue(sel, 1);
        tree->treeSetImage(sel, 2);
        // The tree toggled the item before it had children; show what came.
        tree->treeExpand(sel);
    } else if (parent > 0) {
        openTable(window, tree->treeItemText(parent), tree->treeItemText(sel));
    }
}

void showTreeMenu(MainWindow &window)
{
    const int current = window.schemaTree->treeCurrentItem();
    if (current < 0) return;
    const QPoint where = QCursor::pos() + QPoint(3, 3);
    if (window.schemaTree->treeParent(current) == 0) {
        window.databaseMenu->popup(where);
    } else {
        updateTableMenu(window);
        window.tableMenu->popup(where);
    }
}

} // namespace morvane

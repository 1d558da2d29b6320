#include "schema/TreeCommands.h"

#include "db/Connection.h"
#include "designer/NewTableWindow.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "settings/SettingsWindow.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/TreeView.h"

#include <QAction>

namespace morvane {

namespace {

// The current item when it is a table item (its parent is a database), else -1.
int currentTableItem(const TreeView *tree)
{
    const int current = tree->treeCurrentItem();
    return tree->treeParent(current) > 0 ? current : -1;
}

// "db.table" as shown to the user: not quoted.
Text qualifiedName(const TreeView *tree, int table)
{
    return tree->treeItemText(tree->treeParent(table)) + "." + tree->treeItemText(table);
}

// "db.table" as it stands in a statement.
Text qualifiedSqlName(const TreeView *tree, int table)
{
    return sqlQualifiedName(tree->treeItemText(tree->treeParent(table)), tree->treeItemText(table));
}

void openDesigner(MainWindow &window, int databaseItem)
{
    AppState &state = appState();
    state.designTargetItem = databaseItem;
    state.designTargetDatabase = window.schemaTree->treeItemText(databaseItem);
    openModal<NewTableWindow>(window);
}

} // namespace

void newDatabaseCommand(MainWindow &window)
{
    Text name;
    if (!inputBox(name)) return;
    // Blanks around the name are no part of it (a bare name in the statement
    // would lose them too). No GBK second byte is a blank, so bytes can be cut.
    const char *const blanks = " \t\r\n";
    name.erase(name.find_last_not_of(blanks) + 1);
    name.erase(0, name.find_first_not_of(blanks));
    if (createDatabase(appState().connection, sqlName(name)))
        window.schemaTree->treeAddItem(0, name, 0, 0, 0);
}

void dropDatabaseCommand(MainWindow &window)
{
    TreeView *tree = window.schemaTree;
    const int current = tree->treeCurrentItem();
    if (tree->treeParent(current) != 0) return;
    const Text name = tree->treeItemText(current);
    if (!askYesNo("确定要删除数据库 "_gbk + name + " 吗？"_gbk)) return;
    if (dropDatabase(appState().connection, sqlName(name)))
        tree->treeDeleteItem(current);
    else
        messageBox("删除失败"_gbk);
}

void newTableInDatabaseCommand(MainWindow &window)
{
    const int current = window.schemaTree->treeCurrentItem();
    if (window.schemaTree->treeParent(current) != 0) return;
    openDesigner(window, current);
}

void newTableCommand(MainWindow &window)
{
    const int table = currentTableItem(window.schemaTree);
    if (table < 0) return;
    openDesigner(window, window.schemaTree->treeParent(table));
}

void dropTableCommand(MainWindow &window)
{
    TreeView *tree = window.schemaTree;
    const int table = currentTableItem(tree);
    if (table < 0) return;
    if (!askYesNo("确定要删除表 "_gbk + qualifiedName(tree, table) + " 吗？"_gbk)) return;
    if (execute(appState().connection, "drop table " + qualifiedSqlName(tree, table)))
        tree->treeDeleteItem(table);
    else
        messageBox("删除表失败"_gbk);
}

void truncateTableCommand(MainWindow &window)
{
    TreeView *tree = window.schemaTree;
    const int table = currentTableItem(tree);
    if (table < 0) return;
    const Text name = qualifiedName(tree, table);
    if (!askYesNo("确定要清空表 "_gbk + name + " 吗？"_gbk)) return;
    if (execute(appState().connection, "truncate " + qualifiedSqlName(tree, table)))
        messageBox(name + "已清空"_gbk);
    else
        messageBox("删除表失败"_gbk);
}

void preferencesCommand(MainWindow &window)
{
    openModal<SettingsWindow>(window);
}

void updateTableMenu(MainWindow &window)
{
    // On the server item these commands have no table to act on.
    const bool onTable = currentTableItem(window.schemaTree) >= 0;
    window.newTableAction->setEnabled(onTable);
    window.dropTableAction->setEnabled(onTable);
    window.truncateTableAction->setEnabled(onTable);
}

} // namespace morvane

#pragma once
// The commands of the tree's pop-up menus and of 设置 / 首选项.
namespace morvane {

class MainWindow;

void newDatabaseCommand(MainWindow &window);
void dropDatabaseCommand(MainWindow &window);
void newTableInDatabaseCommand(MainWindow &window);
void newTableCommand(MainWindow &window);
void dropTableCommand(MainWindow &window);
void truncateTableCommand(MainWindow &window);
void preferencesCommand(MainWindow &window);
// Enables the 表右键 items that need a table item (not on the root).
void updateTableMenu(MainWindow &window);

} // namespace morvane

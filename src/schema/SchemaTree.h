#pragma once
// The schema tree: the server item, its databases (minus the hidden ones)
// and, once a database was double-clicked, its tables. An item's kind comes
// from its parent's index only: 0 means a database, > 0 a table, -1 the root.
#include "text/Text.h"

#include <vector>

namespace morvane {

class MainWindow;

void populateSchemaTree(MainWindow &window, const Text &hiddenDatabases);
std::vector<Text> listDatabases(int connection);
// Also makes `database` the connection's default database; none when it
// cannot be made so.
std::vector<Text> listTables(int connection, const Text &database);
// Whether `name` is hidden by the 隐藏库 list (substring rule on name + "|").
bool isHiddenDatabase(const Text &hiddenDatabases, const Text &name);

// The tree's double-click: load a database's tables or open a table.
void onSchemaTreeDoubleClicked(MainWindow &window);
// The right press over an item: 库右键 on a database, else 表右键.
void showTreeMenu(MainWindow &window);

} // namespace morvane

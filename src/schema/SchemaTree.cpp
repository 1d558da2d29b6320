#include "schema/SchemaTree.h"

namespace morvane {
void populateSchemaTree(MainWindow &, const Text &) {}
std::vector<Text> listDatabases(int) { return {}; }
std::vector<Text> listTables(int, const Text &) { return {}; }
bool isHiddenDatabase(const Text &, const Text &) { return false; }
void onSchemaTreeDoubleClicked(MainWindow &) {}
void showTreeMenu(MainWindow &) {}
} // namespace morvane

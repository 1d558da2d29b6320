#pragma once
// Opening a table: the structure list, the grid's columns and first rows,
// and the reformatted create statement.
#include "text/Text.h"

namespace morvane {

class MainWindow;

void openTable(MainWindow &window, const Text &database, const Text &table);
void stripBackquotes(MainWindow &window);
// The create statement as shown: one definition per line.
Text formatCreateStatement(const Text &statement);
// "db.table" as it may stand in a statement: the database (up to the first
// full stop) and the table quoted separately where they need it.
Text sqlTableName(const Text &qualifiedName);

} // namespace morvane

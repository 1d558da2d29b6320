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
// The opened table as it stands in statements, from the two names it was
// opened with; before any table was opened, the label's caption as one name.
Text openedTableName(const MainWindow &window);

} // namespace morvane

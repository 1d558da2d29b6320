#include "workspace/DataGrid.h"

namespace morvane {
void runGridQuery(MainWindow &, const Text &) {}
void sortByColumn(MainWindow &, int) {}
Text sortedStatement(const Text &s, const Text &) { return s; }
void saveColumnWidths(MainWindow &) {}
Text columnWidthsText(const ListView &) { return {}; }
void restoreColumnWidths(MainWindow &, const Text &) {}
void applyGridFontSize(MainWindow &, const Text &) {}
} // namespace morvane

#pragma once
// The data grid: runs the query box's statement, re-sorts by a clicked
// header, saves and restores column widths per table.
#include "text/Text.h"

namespace morvane {

class MainWindow;
class ListView;

void runGridQuery(MainWindow &window, const Text &statement);
// "查询": runs the query box's statement in the grid.
void runQueryButton(MainWindow &window);
void sortByColumn(MainWindow &window, int column);
// The statement with its ORDER BY clause rewritten for a click on the
// column titled `title`.
Text sortedStatement(const Text &statement, const Text &title);
void saveColumnWidths(MainWindow &window);
Text columnWidthsText(const ListView &list);
void restoreColumnWidths(MainWindow &window, const Text &key);
// toNumber of the text, truncated, below 0 counted as 0.
void applyGridFontSize(MainWindow &window, const Text &sizeText);

} // namespace morvane

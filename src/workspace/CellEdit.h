#pragma once

namespace morvane {

class MainWindow;

// Left press on the grid: copy the cell into the console, write the update
// template and remember the cell.
void prepareCellEdit(MainWindow &window, int x, int y);
// "修改": run the template with the console's text as the new value.
void applyCellEdit(MainWindow &window);

} // namespace morvane

#pragma once
// The one program-wide record, touched only on the GUI thread.
#include "text/Text.h"

#include <cstddef>
#include <utility>
#include <vector>

namespace morvane {

// A cell's value as the console shows it. `shown` is the console's text as
// it hands it back ("\r\n" line ends); `added` lists the bytes of `shown`
// that are not the value's (offset, length): the "\r" in front of a lone
// "\n", and the breaks that cut a very long line for display.
struct ConsoleValue {
    Text shown;
    std::vector<std::pair<std::size_t, std::size_t>> added;
    bool lineFeeds = false; // the value's lines end in a lone "\n"
    bool cut = false;       // only the start of the value is shown
    bool faithful = true;   // the console hands back exactly these bytes
};

// What the last press on the grid prepared for "修改".
struct CellEditState {
    bool prepared = false;
    Text statement;          // the template as composed, exact bytes
    Text shownStatement;     // the same as the template box hands it back
    std::size_t valueAt = 0; // offset of the placeholder in `statement`
    Text table;              // the table as it stands in statements
    Text where;              // the condition that names the pressed row
    bool uniqueRow = false;  // `where` can match one row at most
    int idColumn = 1;        // the grid column holding the id
    Text id;                 // its text in the pressed row
    Text value;              // the pressed cell's bytes
    ConsoleValue console;
};

struct AppState {
    int connection = 0;
    int designTargetItem = 0;
    Text designTargetDatabase;
    int clickedCellRow = 0;
    int clickedCellColumn = 0;
    // The table opened last, as the two names it was opened with (both empty
    // before the first one); statements are built from these, never from
    // the "db.table" caption.
    Text openedDatabase;
    Text openedTable;
    CellEditState cellEdit;
};

AppState &appState();
// Back to the zero-filled record of a fresh start (tests).
void resetAppState();

} // namespace morvane

#pragma once
// The one program-wide record, touched only on the GUI thread.
#include "text/Text.h"

namespace morvane {

struct AppState {
    int connection = 0;
    int designTargetItem = 0;
    Text designTargetDatabase;
    int clickedCellRow = 0;
    int clickedCellColumn = 0;
};

AppState &appState();
// Back to the zero-filled record of a fresh start (tests).
void resetAppState();

} // namespace morvane

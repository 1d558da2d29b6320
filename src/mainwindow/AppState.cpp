#include "mainwindow/AppState.h"

namespace morvane {

AppState &appState()
{
    static AppState state;
    return state;
}

void resetAppState()
{
    appState() = AppState{};
}

} // namespace morvane

#pragma once

namespace morvane {

class MainWindow;

// Connects the main window's controls and menu items to the handlers of the
// features that own them. Once per window; a second call does nothing.
void connectHandlers(MainWindow &window);

} // namespace morvane

#pragma once

namespace morvane {

class MainWindow;

// Connects the main window's controls and menu items to the handlers of the
// features that own them; once per window, at start-up.
void connectHandlers(MainWindow &window);

} // namespace morvane

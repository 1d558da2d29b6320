#pragma once

namespace morvane {

class MainWindow;

// The main window's created handler: connects its controls to their
// handlers, then runs the start-up sequence.
void runStartup(MainWindow &window);

} // namespace morvane

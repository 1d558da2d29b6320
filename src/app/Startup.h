#pragma once

namespace morvane {

class MainWindow;

// The start-up sequence of the main window's created handler.
void runStartup(MainWindow &window);

} // namespace morvane

#pragma once

namespace morvane {

class MainWindow;

// Runs the console's whole text as one statement and appends the outcome.
void runSqlConsole(MainWindow &window);

} // namespace morvane

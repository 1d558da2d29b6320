#include "app/SqlConsole.h"

namespace morvane {
void runSqlConsole(MainWindow &) {}
} // namespace morvane

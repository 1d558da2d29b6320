#include "schema/TreeCommands.h"

namespace morvane {
void newDatabaseCommand(MainWindow &) {}
void dropDatabaseCommand(MainWindow &) {}
void newTableInDatabaseCommand(MainWindow &) {}
void newTableCommand(MainWindow &) {}
void dropTableCommand(MainWindow &) {}
void truncateTableCommand(MainWindow &) {}
void preferencesCommand(MainWindow &) {}
void updateTableMenu(MainWindow &) {}
} // namespace morvane

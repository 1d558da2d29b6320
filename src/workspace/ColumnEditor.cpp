#include "workspace/ColumnEditor.h"

namespace morvane {
const Text &columnTypeList() { static const Text list; return list; }
void fillTypeCombo(QComboBox *) {}
Text typeOfTypeLine(const Text &) { return {}; }
Text defaultForTypeLine(const Text &) { return {}; }
Text buildAddColumnStatement(MainWindow &) { return {}; }
Text buildModifyColumnStatement(MainWindow &) { return {}; }
void addColumn(MainWindow &) {}
void modifyColumn(MainWindow &) {}
void onTypeLinePicked(MainWindow &) {}
void onStructureListDoubleClicked(MainWindow &) {}
} // namespace morvane

#pragma once
// The column type catalogue and the column editor of the structure tab.
#include "text/Text.h"

class QComboBox;

namespace morvane {

class MainWindow;

// 13 lines joined by "\r\n", the 6th and 12th empty.
const Text &columnTypeList();
void fillTypeCombo(QComboBox *combo);
Text typeOfTypeLine(const Text &line);
Text defaultForTypeLine(const Text &line);

Text buildAddColumnStatement(MainWindow &window);
Text buildModifyColumnStatement(MainWindow &window);
void addColumn(MainWindow &window);    // 按钮4 "插入"
void modifyColumn(MainWindow &window); // 按钮7 "修改"
void onTypeLinePicked(MainWindow &window);
void onStructureListDoubleClicked(MainWindow &window);

} // namespace morvane

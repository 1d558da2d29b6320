#include "workspace/ColumnEditor.h"

#include "console/SqlConsole.h"
#include "db/Connection.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/ListView.h"
#include "ui/Widgets.h"
#include "workspace/TableView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace morvane {

namespace {

// Steps 1 to 5, shared by add and modify.
Text columnDefinition(MainWindow &window, const char *verb)
{
    Text s = "alter table " + openedTableName(window) + verb + sqlNameOrEmpty(getText(window.columnNameBox)) +
             " " + getText(window.columnTypeBox);
    if (isChecked(window.unsignedCheck)) s += " unsigned";
    s += " not null default " + getText(window.defaultBox);
    if (isChecked(window.uniqueCheck)) s += " UNIQUE";
    s += " comment '" + sqlValue(appState().connection, getText(window.commentBox)) + "'";
    return s;
}

} // namespace

const Text &columnTypeList()
{
    static const Text list = utf8ToGbk("TINYINT(10)-----整数型 范围：0-255\r\n"
                                       "SMALLINT(10)----整数型 范围：0-65535\r\n"
                                       "MEDIUMINT(10)---整数型 范围：0-16777215\r\n"
                                       "INT(10)---------整数型 范围：0-4294967295\r\n"
                                       "BIGINT(10)------整数型 范围：0-18446744073709551615\r\n"
                                       "\r\n"
                                       "CHAR(m)---------文本型 范围：0-255字节\r\n"
                                       "VARCHAR(m)------文本型 范围：0-65535 字节\r\n"
                                       "TEXT------------文本型 范围：0-65535字节\r\n"
                                       "MEDIUMTEXT------文本型 范围：0-16777215字节\r\n"
                                       "LONGTEXT--------文本型 范围：0-4294967295字节\r\n"
                                       "\r\n"
                                       "DECIMAL(M,D)----小数型 m代表总位数 D代表小数点后面的位数");
    return list;
}

void fillTypeCombo(QComboBox *combo)
{
    for (const Text &line : splitText(columnTypeList(), "\r\n"))
        comboAddItem(combo, line);
}

Text typeOfTypeLine(const Text &line)
{
    return textBefore(line, "-");
}

Text defaultForTypeLine(const Text &line)
{
    return findText(line, "数"_gbk) != -1 ? "0" : "''";
}

Text buildAddColumnStatement(MainWindow &window)
{
    const Text s =
        columnDefinition(window, " add ") + "  after " + sqlNameOrEmpty(comboText(window.afterColumnCombo));
    setText(window.sqlConsole, s);
    return s;
}

Text buildModifyColumnStatement(MainWindow &window)
{
    const Text s = columnDefinition(window, " modify ");
    setText(window.sqlConsole, s);
    return s;
}

void addColumn(MainWindow &window)
{
    buildAddColumnStatement(window);
    runSqlConsole(window);
}

void modifyColumn(MainWindow &window)
{
    buildModifyColumnStatement(window);
    runSqlConsole(window);
}

void onTypeLinePicked(MainWindow &window)
{
    const Text line = comboText(window.typeCombo);
    setText(window.defaultBox, defaultForTypeLine(line));
    setText(window.columnTypeBox, typeOfTypeLine(line));
}

void onStructureListDoubleClicked(MainWindow &window)
{
    const ListView &list = *window.structureList;
    const int row = list.listCurrentRow();
    setText(window.columnNameBox, list.listCell(row, 1));
    setText(window.columnTypeBox, list.listCell(row, 2));
    setText(window.commentBox, list.listCell(row, 6));
    const Text defaultValue = list.listCell(row, 4);
    setText(window.defaultBox, defaultValue.empty() ? Text("''") : defaultValue);
    setChecked(window.uniqueCheck, list.listCell(row, 3) == "UNI" ? 1 : 0);
}

} // namespace morvane

#include "designer/NewTableWindow.h"

#include "db/Connection.h"
#include "db/ErrorText.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/FormBuilder.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"
#include "workspace/ColumnEditor.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace morvane {

namespace {

constexpr int kCellCount = 8;

const ControlSpec kDesign[] = {
    {ControlKind::TabControl, "高级选择夹1", "", -1, {2, 4, 662, 508}, "表|sql"},
    {ControlKind::Label, "标签1", "高级选择夹1", 0, {16, 32, 56, 24}, "表名称："},
    {ControlKind::LineEdit, "编辑框2", "高级选择夹1", 0, {80, 33, 184, 24}, "表名称"},
    {ControlKind::ListView, "超级列表框1", "高级选择夹1", 0, {6, 68, 648, 304}, ""},
    {ControlKind::Label, "标签3", "高级选择夹1", 0, {22, 379, 73, 99}, "字段名：\n\n\n类型：\n\n\n注释："},
    {ControlKind::LineEdit, "编辑框3", "高级选择夹1", 0, {103, 377, 108, 24}, ""},
    {ControlKind::LineEdit, "编辑框6", "高级选择夹1", 0, {102, 409, 108, 24}, ""},
    {ControlKind::ComboBox, "组合框1", "高级选择夹1", 0, {214, 410, 432, 24}, ""},
    {ControlKind::TextEdit, "编辑框5", "高级选择夹1", 0, {102, 444, 376, 56}, ""},
    {ControlKind::CheckBox, "选择框3", "高级选择夹1", 0, {229, 378, 62, 26}, "唯一"},
    {ControlKind::CheckBox, "选择框1", "高级选择夹1", 0, {294, 380, 56, 24}, "不为负"},
    {ControlKind::Label, "标签2", "高级选择夹1", 0, {412, 380, 48, 24}, "默认值："},
    {ControlKind::LineEdit, "编辑框4", "高级选择夹1", 0, {468, 379, 48, 24}, ""},
    {ControlKind::Button, "按钮1", "高级选择夹1", 0, {487, 445, 96, 47}, "添加"},
    {ControlKind::TextEdit, "编辑框1", "高级选择夹1", 1, {8, 32, 638, 300}, ""},
    {ControlKind::Button, "按钮2", "高级选择夹1", 1, {462, 340, 160, 32}, "执行"},
    {ControlKind::TextEdit, "编辑框7", "高级选择夹1", 1, {8, 392, 646, 108}, ""},
};

const ListColumnSpec kColumns[kCellCount] = {{"字段", 100}, {"数据类型", 100}, {"无符号", 60}, {"自增", 50},
                                             {"主键", 50},  {"唯一", 50},      {"默认", 50},   {"注释", 100}};

} // namespace

Text buildCreateTableStatement(int connection, const Text &database, const Text &table,
                               const std::vector<std::vector<Text>> &rows)
{
    auto cell = [](const std::vector<Text> &row, std::size_t k) { return k < row.size() ? row[k] : Text(); };
    Text s = "create table " + sqlQualifiedName(database, table) + "(\r\n";
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const std::vector<Text> &row = rows[r];
        s += "----" + sqlNameOrEmpty(cell(row, 0)) + " ";
        for (std::size_t k = 1; k <= 5; ++k)
            s += cell(row, k) + " ";
        if (!cell(row, 6).empty()) s += "NOT NULL default " + cell(row, 6) + " ";
        s += "comment '" + sqlValue(connection, cell(row, 7)) + "'";
        if (r + 1 < rows.size()) s += ",";
        s += "\r\n";
    }
    s += ") ENGINE=MyISAM DEFAULT CHARSET=utf8";
    return replaceText(s, "----", "    ");
}

NewTableWindow::NewTableWindow(MainWindow &main) : m_main(main)
{
    // No caption: Qt shows the program's name in place of an empty title,
    // so the title is a space.
    setWindowTitle(QStringLiteral(" "));
    // The design size is the outer size, frame included.
    keepOuterSize(this, QSize(679, 543));
    const auto controls = buildForm(this, kDesign);
    tabs = formControl<TabControl>(controls, "高级选择夹1");
    tableNameBox = formControl<QLineEdit>(controls, "编辑框2");
    designList = formControl<ListView>(controls, "超级列表框1");
    fieldNameBox = formControl<QLineEdit>(controls, "编辑框3");
    typeBox = formControl<QLineEdit>(controls, "编辑框6");
    typeCombo = formControl<QComboBox>(controls, "组合框1");
    commentBox = formControl<QPlainTextEdit>(controls, "编辑框5");
    uniqueCheck = formControl<QCheckBox>(controls, "选择框3");
    unsignedCheck = formControl<QCheckBox>(controls, "选择框1");
    defaultBox = formControl<QLineEdit>(controls, "编辑框4");
    addButton = formControl<QPushButton>(controls, "按钮1");
    statementBox = formControl<QPlainTextEdit>(controls, "编辑框1");
    runButton = formControl<QPushButton>(controls, "按钮2");
    errorBox = formControl<QPlainTextEdit>(controls, "编辑框7");

    appendDesignColumns(designList, kColumns);
    errorBox->setVisible(false);
    tabs->selectTab(0);

    fillTypeCombo(typeCombo);
    typeCombo->setCurrentIndex(-1);
    const int preset = designList->listAppendRow();
    const Text presetCells[] = {"id", "int(20)", "unsigned", "auto_increment", "PRIMARY KEY"};
    for (int k = 0; k < 5; ++k)
        designList->listSetCell(preset, k, presetCells[k]);

    connect(typeCombo, &QComboBox::activated, this, [this] { onTypeLinePicked(); });
    connect(addButton, &QPushButton::clicked, this, [this] { addColumnRow(); });
    connect(tabs, &QTabWidget::currentChanged, this, [this](int index) {
        if (index == 1) buildCreateTableStatement();
    });
    connect(runButton, &QPushButton::clicked, this, [this] { runCreateTable(); });
}

NewTableWindow::~NewTableWindow() = default;

void NewTableWindow::onTypeLinePicked()
{
    const Text line = comboText(typeCombo);
    setText(typeBox, typeOfTypeLine(line));
    setText(defaultBox, defaultForTypeLine(line));
}

void NewTableWindow::addColumnRow()
{
    const int r = designList->listAppendRow();
    designList->listSetCell(r, 0, getText(fieldNameBox));
    designList->listSetCell(r, 1, getText(typeBox));
    if (isChecked(unsignedCheck) == 1) designList->listSetCell(r, 2, "unsigned");
    if (isChecked(uniqueCheck) == 1) designList->listSetCell(r, 5, "unique");
    designList->listSetCell(r, 6, getText(defaultBox));
    designList->listSetCell(r, 7, getText(commentBox));
}

std::vector<std::vector<Text>> NewTableWindow::designRows() const
{
    const int n = designList->listRowCount();
    std::vector<std::vector<Text>> rows(n);
    for (int r = 0; r < n; ++r) {
        rows[r].reserve(kCellCount);
        for (int k = 0; k < kCellCount; ++k)
            rows[r].push_back(designList->listCell(r, k));
    }
    return rows;
}

void NewTableWindow::buildCreateTableStatement()
{
    const AppState &state = appState();
    setText(statementBox, morvane::buildCreateTableStatement(state.connection, state.designTargetDatabase,
                                                             getText(tableNameBox), designRows()));
}

void NewTableWindow::runCreateTable()
{
    const int connection = appState().connection;
    if (execute(connection, getText(statementBox))) {
        // An edited box may hold a query; leave no rows pending on the
        // shared connection.
        discardResult(connection);
        m_main.schemaTree->treeAddItem(appState().designTargetItem, getText(tableNameBox), 1, 1, 0);
        messageBox("创建成功！"_gbk);
        return;
    }
    messageBox("创建失败"_gbk);
    errorBox->setVisible(true);
    setText(errorBox, serverErrorText(connection));
}

} // namespace morvane

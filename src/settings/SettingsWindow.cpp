#include "settings/SettingsWindow.h"

#include "config/Settings.h"
#include "db/Connection.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "schema/SchemaTree.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/FormBuilder.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"
#include "workspace/DataGrid.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>

namespace morvane {

namespace {

const QSize kOuterSize(416, 390);

const ControlSpec kDesign[] = {
    {ControlKind::TabControl, "高级选择夹1", "", -1, {8, 8, 400, 352}, "隐藏不常用的库|列表字体|mysql设置"},
    {ControlKind::ListView, "超级列表框1", "高级选择夹1", 0, {8, 28, 248, 312}, ""},
    {ControlKind::Button, "按钮1", "高级选择夹1", 0, {256, 280, 136, 56}, "隐藏勾选的库"},
    {ControlKind::ComboBox, "组合框1", "高级选择夹1", 1, {24, 40, 128, 20}, ""},
    {ControlKind::Label,
     "标签1",
     "高级选择夹1",
     2,
     {24, 55, 128, 72},
     "本地mysql服务器：\n\n本地mysql用户名：\n\n本地mysql密码："},
    {ControlKind::LineEdit, "编辑框1", "高级选择夹1", 2, {152, 48, 136, 24}, ""},
    {ControlKind::LineEdit, "编辑框2", "高级选择夹1", 2, {152, 73, 136, 24}, ""},
    {ControlKind::LineEdit, "编辑框3", "高级选择夹1", 2, {152, 99, 136, 24}, ""},
    {ControlKind::Button, "按钮2", "高级选择夹1", 2, {144, 136, 144, 32}, "测试连接"},
    {ControlKind::Button, "按钮3", "高级选择夹1", 2, {256, 288, 120, 40}, "保存配置"},
};

} // namespace

std::vector<int> checkedRows(const ListView &list)
{
    std::vector<int> rows;
    for (int r = 0; r < list.listRowCount(); ++r) {
        if (list.listCheckState(r) == 1) rows.push_back(r);
    }
    return rows;
}

SettingsWindow::SettingsWindow(MainWindow &main) : m_main(main)
{
    setWindowTitle(fromGbk("设置"_gbk));
    // The design size is the outer size, frame included.
    keepOuterSize(this, kOuterSize);
    const auto controls = buildForm(this, kDesign);
    tabs = formControl<TabControl>(controls, "高级选择夹1");
    databaseList = formControl<ListView>(controls, "超级列表框1");
    hideButton = formControl<QPushButton>(controls, "按钮1");
    fontSizeCombo = formControl<QComboBox>(controls, "组合框1");
    serverBox = formControl<QLineEdit>(controls, "编辑框1");
    userBox = formControl<QLineEdit>(controls, "编辑框2");
    passwordBox = formControl<QLineEdit>(controls, "编辑框3");
    testButton = formControl<QPushButton>(controls, "按钮2");
    saveButton = formControl<QPushButton>(controls, "按钮3");

    databaseList->setCheckBoxes(true);
    databaseList->listAppendColumn("库名"_gbk, 200);
    for (const char *size : {"10", "11", "12", "13", "14", "15"})
        comboAddItem(fontSizeCombo, size);
    fontSizeCombo->setCurrentIndex(-1);
    tabs->selectTab(2);

    connect(hideButton, &QPushButton::clicked, this, [this] { hideCheckedDatabases(); });
    connect(fontSizeCombo, &QComboBox::activated, this, [this] { applyGridFontSize(); });
    connect(testButton, &QPushButton::clicked, this, [this] { testConnection(); });
    connect(saveButton, &QPushButton::clicked, this, [this] { saveConnectionSettings(); });

    fillDatabaseList();
}

SettingsWindow::~SettingsWindow() = default;

void SettingsWindow::fillDatabaseList()
{
    const Text hidden = readSetting("软件设置"_gbk, "隐藏库"_gbk);
    for (const Text &name : listDatabases(appState().connection)) {
        const int row = databaseList->listAppendRow(name);
        databaseList->listSetCheckState(row, isHiddenDatabase(hidden, name) ? 1 : 0);
    }
}

void SettingsWindow::hideCheckedDatabases()
{
    Text value;
    for (int row : checkedRows(*databaseList))
        value += databaseList->listCell(row, 0) + "|";
    if (!writeSetting("软件设置"_gbk, "隐藏库"_gbk, value)) messageBox("保存失败"_gbk);
    // The tree follows the choice for this run even when it could not be kept.
    populateSchemaTree(m_main, value);
}

void SettingsWindow::applyGridFontSize()
{
    const Text size = comboText(fontSizeCombo);
    morvane::applyGridFontSize(m_main, size);
    writeSetting("软件设置"_gbk, "字体大小"_gbk, size);
}

void SettingsWindow::testConnection()
{
    AppState &state = appState();
    state.connection = morvane::connect(getText(serverBox), getText(userBox), getText(passwordBox));
    if (state.connection != 0) {
        execute(state.connection, "set names gbk");
        messageBox("连接成功"_gbk);
    } else {
        messageBox("连接失败"_gbk);
    }
}

void SettingsWindow::saveConnectionSettings()
{
    const Text section = "本地mysql配置"_gbk;
    bool saved = writeSetting(section, "本地mysql服务器"_gbk, getText(serverBox));
    saved = writeSetting(section, "本地mysql用户名"_gbk, getText(userBox)) && saved;
    saved = writeSetting(section, "本地mysql密码"_gbk, getText(passwordBox)) && saved;
    if (!saved) messageBox("保存失败"_gbk);
}

} // namespace morvane

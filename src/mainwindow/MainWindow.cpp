#include "mainwindow/MainWindow.h"

#include "text/Gbk.h"
#include "ui/FormBuilder.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QResizeEvent>

namespace morvane {

namespace {

using K = ControlKind;

// The main window's design: kind, name, container, tab, place and size, text.
const ControlSpec kDesign[] = {
    {K::TreeView, "树型框1", "", -1, {2, 4, 246, 705}, ""},
    {K::TabControl, "高级选择夹1", "", -1, {247, 7, 990, 472}, "结构|建表过程|数据"},
    {K::TextEdit,
     "编辑框3",
     "",
     -1,
     {256, 488, 880, 218},
     "alter table 表名 add 列名称 列类型 列参数 after 某列"},
    {K::PictureBox, "图片框1", "", -1, {1144, 488, 96, 216}, ""},
    {K::Button, "按钮_执行sql语句", "图片框1", -1, {5, 9, 82, 32}, "执行sql"},
    // Tab 0 "结构"
    {K::Label, "标签4", "高级选择夹1", 0, {12, 29, 224, 16}, "标签"},
    {K::ListView, "超级列表框2", "高级选择夹1", 0, {8, 49, 961, 224}, ""},
    {K::GroupBox, "分组框1", "高级选择夹1", 0, {10, 281, 959, 184}, "添加字段："},
    {K::Label,
     "标签1",
     "分组框1",
     -1,
     {16, 25, 72, 148},
     "列名：\r\n\r\n\r\n默认值：\r\n\r\n\r\n注释：\r\n\r\n\r\n插入位置："},
    {K::LineEdit, "编辑框2", "分组框1", -1, {88, 18, 112, 24}, ""},
    {K::Label, "标签2", "分组框1", -1, {203, 20, 40, 24}, "类型："},
    {K::LineEdit, "编辑框7", "分组框1", -1, {244, 19, 155, 24}, ""},
    {K::ComboBox, "组合框1", "分组框1", -1, {406, 18, 545, 24}, ""},
    {K::LineEdit, "编辑框4", "分组框1", -1, {88, 56, 704, 24}, "0"},
    {K::TextEdit, "编辑框5", "分组框1", -1, {89, 89, 702, 36}, "萨达\r\n大"},
    {K::ComboBox, "组合框2", "分组框1", -1, {88, 129, 184, 20}, ""},
    {K::Label, "标签3", "分组框1", -1, {272, 133, 56, 16}, "后面"},
    {K::Button, "按钮4", "分组框1", -1, {400, 138, 88, 40}, "插入"},
    {K::CheckBox, "选择框3", "分组框1", -1, {71, 160, 72, 16}, "唯一"},
    {K::CheckBox, "选择框1", "分组框1", -1, {152, 161, 72, 16}, "不为负"},
    {K::Button, "按钮7", "分组框1", -1, {567, 144, 104, 32}, "修改"},
    // Tab 1 "建表过程"
    {K::TextEdit, "编辑框1", "高级选择夹1", 1, {8, 32, 704, 425}, ""},
    {K::Button, "按钮3", "高级选择夹1", 1, {720, 33, 96, 32}, "去除\"`\""},
    // Tab 2 "数据"
    {K::TextEdit, "编辑框_查询sql", "高级选择夹1", 2, {5, 33, 728, 48}, ""},
    {K::Button, "按钮1", "高级选择夹1", 2, {744, 33, 104, 48}, "查询"},
    {K::Button, "按钮5", "高级选择夹1", 2, {897, 57, 64, 24}, "保存列宽"},
    {K::ListView, "超级列表框1", "高级选择夹1", 2, {5, 89, 976, 344}, ""},
    {K::LineEdit,
     "编辑框6",
     "高级选择夹1",
     2,
     {9, 441, 880, 24},
     "update 表名 set 字段名='[编辑框内容]' where id="},
    {K::Button, "按钮6", "高级选择夹1", 2, {905, 441, 64, 24}, "修改"},
};

const ListColumnSpec kStructureColumns[] = {
    {"序", 30}, {"字段名", 100}, {"类型", 100}, {"索引", 50}, {"默认值", 50}, {"自增", 120}, {"注释", 200},
};
const ListColumnSpec kInitialGridColumns[] = {{"发的", 50}, {"发的", 50}, {"大幅度发待发", 50}, {"发的", 50}};

} // namespace

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Morvane"));
    buildControls();
    buildMenus();
    // The design size is the outer size, frame included.
    morvane::keepOuterSize(this, QSize(1263, 770));
}

MainWindow::~MainWindow() = default;

void MainWindow::buildControls()
{
    const auto c = buildForm(this, kDesign);
    schemaTree = formControl<TreeView>(c, "树型框1");
    workspaceTabs = formControl<TabControl>(c, "高级选择夹1");
    sqlConsole = formControl<QPlainTextEdit>(c, "编辑框3");
    consolePanel = formControl<QFrame>(c, "图片框1");
    runSqlButton = formControl<QPushButton>(c, "按钮_执行sql语句");
    tableLabel = formControl<QLabel>(c, "标签4");
    structureList = formControl<ListView>(c, "超级列表框2");
    columnEditor = formControl<QGroupBox>(c, "分组框1");
    columnNameBox = formControl<QLineEdit>(c, "编辑框2");
    columnTypeBox = formControl<QLineEdit>(c, "编辑框7");
    typeCombo = formControl<QComboBox>(c, "组合框1");
    defaultBox = formControl<QLineEdit>(c, "编辑框4");
    commentBox = formControl<QPlainTextEdit>(c, "编辑框5");
    afterColumnCombo = formControl<QComboBox>(c, "组合框2");
    uniqueCheck = formControl<QCheckBox>(c, "选择框3");
    unsignedCheck = formControl<QCheckBox>(c, "选择框1");
    addColumnButton = formControl<QPushButton>(c, "按钮4");
    modifyColumnButton = formControl<QPushButton>(c, "按钮7");
    createStatementBox = formControl<QPlainTextEdit>(c, "编辑框1");
    stripBackquotesButton = formControl<QPushButton>(c, "按钮3");
    queryBox = formControl<QPlainTextEdit>(c, "编辑框_查询sql");
    queryButton = formControl<QPushButton>(c, "按钮1");
    saveWidthsButton = formControl<QPushButton>(c, "按钮5");
    dataGrid = formControl<ListView>(c, "超级列表框1");
    updateTemplateBox = formControl<QLineEdit>(c, "编辑框6");
    updateButton = formControl<QPushButton>(c, "按钮6");

    sqlConsole->setStyleSheet(QStringLiteral("QPlainTextEdit { color: rgb(0, 255, 0); background: black; }"));
    updateTemplateBox->setStyleSheet(
        QStringLiteral("QLineEdit { color: black; background: rgb(192, 192, 192); }"));
    QFont statementFont = createStatementBox->font();
    statementFont.setPixelSize(16);
    createStatementBox->setFont(statementFont);

    appendDesignColumns(structureList, kStructureColumns);
    appendDesignColumns(dataGrid, kInitialGridColumns);
}

void MainWindow::buildMenus()
{
    settingsMenu = menuBar()->addMenu(QStringLiteral("设置"));
    settingsMenu->setObjectName(QStringLiteral("设置"));
    preferencesAction = settingsMenu->addAction(QStringLiteral("首选项"));

    // The tree's pop-up menus never appear in the menu bar.
    databaseMenu = new QMenu(QStringLiteral("库右键"), this);
    databaseMenu->setObjectName(QStringLiteral("库右键"));
    newDatabaseAction = databaseMenu->addAction(QStringLiteral("新建库"));
    newTableInDatabaseAction = databaseMenu->addAction(QStringLiteral("新建表"));
    databaseMenu->addSeparator();
    dropDatabaseAction = databaseMenu->addAction(QStringLiteral("删除库"));

    tableMenu = new QMenu(QStringLiteral("表右键"), this);
    tableMenu->setObjectName(QStringLiteral("表右键"));
    newTableAction = tableMenu->addAction(QStringLiteral("新建表"));
    tableMenu->addSeparator();
    dropTableAction = tableMenu->addAction(QStringLiteral("删除表"));
    truncateTableAction = tableMenu->addAction(QStringLiteral("清空表"));
}

void MainWindow::setOuterSize(const QSize &size)
{
    morvane::setOuterSize(this, size);
}

QRect MainWindow::designGeometry(const QWidget *control) const
{
    if (workspaceTabs->holds(control)) return workspaceTabs->designRect(control);
    return control ? control->geometry() : QRect();
}

void MainWindow::setDesignGeometry(QWidget *control, const QRect &rect)
{
    const QRect r(rect.topLeft(), QSize(std::max(rect.width(), 0), std::max(rect.height(), 0)));
    if (workspaceTabs->holds(control))
        workspaceTabs->setDesignRect(control, r);
    else
        control->setGeometry(r);
}

void MainWindow::applyLayoutRule()
{
    // Each step reads the outer size afresh, as the rule is written.
    auto W = [this] { return frameGeometry().width(); };
    auto H = [this] { return frameGeometry().height(); };
    auto setWidth = [this](QWidget *c, int w) {
        QRect r = designGeometry(c);
        r.setWidth(w);
        setDesignGeometry(c, r);
    };
    auto setHeight = [this](QWidget *c, int h) {
        QRect r = designGeometry(c);
        r.setHeight(h);
        setDesignGeometry(c, r);
    };
    auto setLeft = [this](QWidget *c, int x) {
        setDesignGeometry(c, designGeometry(c).translated(x - designGeometry(c).x(), 0));
    };
    auto setTop = [this](QWidget *c, int y) {
        setDesignGeometry(c, designGeometry(c).translated(0, y - designGeometry(c).y()));
    };

    setHeight(schemaTree, H() - 65);
    setWidth(workspaceTabs, W() - 273);
    setWidth(dataGrid, W() - 289);
    setWidth(sqlConsole, W() - 383);
    setLeft(consolePanel, W() - 119);
    setTop(sqlConsole, H() - 282);
    setTop(consolePanel, H() - 282);
    setHeight(workspaceTabs, H() - 298);
    setHeight(dataGrid, H() - 420);
    setTop(updateTemplateBox, H() - 329);
    setTop(updateButton, H() - 329);
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    applyLayoutRule();
}

} // namespace morvane

// The main window's controls, menus and layout rule, without a server.
#include "mainwindow/MainWindow.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/TreeView.h"
#include "ui/Widgets.h"
#include "text/Gbk.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

using namespace morvane;

namespace {

struct Place {
    const char *name;
    QRect rect;
};

QWidget *find(MainWindow &w, const char *name)
{
    QWidget *c = w.findChild<QWidget *>(QString::fromUtf8(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

} // namespace

TEST(MainWindow, ControlsStandAtTheirDesignPlacesAtTheDesignSize)
{
    MainWindow w;
    w.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    w.setOuterSize(QSize(1263, 770));
    ASSERT_EQ(w.frameGeometry().size(), QSize(1263, 770));

    const Place places[] = {
        {"树型框1", {2, 4, 246, 705}},          {"高级选择夹1", {247, 7, 990, 472}},
        {"编辑框3", {256, 488, 880, 218}},      {"图片框1", {1144, 488, 96, 216}},
        {"按钮_执行sql语句", {5, 9, 82, 32}},   {"标签4", {12, 29, 224, 16}},
        {"超级列表框2", {8, 49, 961, 224}},     {"分组框1", {10, 281, 959, 184}},
        {"编辑框1", {8, 32, 704, 425}},         {"按钮3", {720, 33, 96, 32}},
        {"编辑框_查询sql", {5, 33, 728, 48}},   {"按钮1", {744, 33, 104, 48}},
        {"按钮5", {897, 57, 64, 24}},           {"编辑框6", {9, 441, 880, 24}},
        {"按钮6", {905, 441, 64, 24}},          {"组合框1", {406, 18, 545, 24}},
        {"按钮7", {567, 144, 104, 32}},
        // The layout rule gives the grid 974 x 350 instead of 976 x 344.
        {"超级列表框1", {5, 89, 974, 350}},
    };
    for (const Place &p : places)
        EXPECT_EQ(w.designGeometry(find(w, p.name)), p.rect) << p.name;

    // Controls on a tab are measured from the tab control's corner, headers
    // included: on screen they sit that far below where the page starts.
    const QPoint offset = w.workspaceTabs->pageOffset();
    EXPECT_GT(offset.y(), 0);
    EXPECT_EQ(w.dataGrid->geometry(), QRect(5, 89, 974, 350).translated(-offset));
    EXPECT_EQ(w.centralWidget()->geometry().top(), w.menuBar()->geometry().bottom() + 1);
}

TEST(MainWindow, InitialTextsColumnsAndMenus)
{
    MainWindow w;
    EXPECT_EQ(w.windowTitle(), "Morvane");
    EXPECT_EQ(gbkToUtf8(getText(w.sqlConsole)), "alter table 表名 add 列名称 列类型 列参数 after 某列");
    EXPECT_EQ(gbkToUtf8(getText(w.updateTemplateBox)), "update 表名 set 字段名='[编辑框内容]' where id=");
    EXPECT_EQ(gbkToUtf8(getText(w.stripBackquotesButton)), "去除\"`\"");
    EXPECT_EQ(gbkToUtf8(getText(w.commentBox)), "萨达\r\n大");
    EXPECT_EQ(gbkToUtf8(getText(w.tableLabel)), "标签");
    EXPECT_EQ(gbkToUtf8(getText(w.defaultBox)), "0");
    EXPECT_EQ(w.workspaceTabs->count(), 3);
    EXPECT_EQ(w.workspaceTabs->tabText(2), "数据");

    ASSERT_EQ(w.structureList->listColumnCount(), 7);
    EXPECT_EQ(gbkToUtf8(w.structureList->listColumnTitle(5)), "自增");
    EXPECT_EQ(w.structureList->listColumnWidth(6), 200);
    ASSERT_EQ(w.dataGrid->listColumnCount(), 4);
    EXPECT_EQ(gbkToUtf8(w.dataGrid->listColumnTitle(2)), "大幅度发待发");

    ASSERT_EQ(w.menuBar()->actions().size(), 1);
    EXPECT_EQ(w.menuBar()->actions()[0]->text(), "设置");
    auto texts = [](QMenu *m) {
        QStringList t;
        for (QAction *a : m->actions())
            t << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return t;
    };
    EXPECT_EQ(texts(w.settingsMenu), QStringList({"首选项"}));
    EXPECT_EQ(texts(w.databaseMenu), QStringList({"新建库", "新建表", "-", "删除库"}));
    EXPECT_EQ(texts(w.tableMenu), QStringList({"新建表", "-", "删除表", "清空表"}));
}

TEST(MainWindow, LayoutRuleFollowsLargerAndTooSmallSizes)
{
    struct Case {
        QSize size;
        QRect tree, tabs, grid, console, panel, updateBox, updateButton;
    };
    const Case cases[] = {
        {{1400, 900},
         {2, 4, 246, 835},
         {247, 7, 1127, 602},
         {5, 89, 1111, 480},
         {256, 618, 1017, 218},
         {1281, 618, 96, 216},
         {9, 571, 880, 24},
         {905, 571, 64, 24}},
        // Negative sizes become 0; negative places move controls out of view.
        {{250, 200},
         {2, 4, 246, 135},
         {247, 7, 0, 0},
         {5, 89, 0, 0},
         {256, -82, 0, 218},
         {131, -82, 96, 216},
         {9, -129, 880, 24},
         {905, -129, 64, 24}},
    };
    for (const Case &c : cases) {
        MainWindow w;
        w.setMinimumSize(1, 1);
        w.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
        w.setOuterSize(c.size);
        ASSERT_EQ(w.frameGeometry().size(), c.size);
        EXPECT_EQ(w.designGeometry(w.schemaTree), c.tree);
        EXPECT_EQ(w.designGeometry(w.workspaceTabs), c.tabs);
        EXPECT_EQ(w.designGeometry(w.dataGrid), c.grid);
        EXPECT_EQ(w.designGeometry(w.sqlConsole), c.console);
        EXPECT_EQ(w.designGeometry(w.consolePanel), c.panel);
        EXPECT_EQ(w.designGeometry(w.updateTemplateBox), c.updateBox);
        EXPECT_EQ(w.designGeometry(w.updateButton), c.updateButton);
        // Nothing else moves.
        EXPECT_EQ(w.designGeometry(w.queryBox), QRect(5, 33, 728, 48));
        EXPECT_EQ(w.designGeometry(w.structureList), QRect(8, 49, 961, 224));
    }
}

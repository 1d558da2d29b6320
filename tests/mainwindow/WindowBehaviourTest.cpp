// How the three windows behave under the keyboard and the window manager:
// Enter presses no button, Tab follows the places, labels of several lines
// sit beside their boxes, standard buttons read in Chinese, and the design
// sizes are outer sizes once a frame is known. No server needed.
#include "designer/NewTableWindow.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "settings/SettingsWindow.h"
#include "support/ScriptedDialogs.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/ListView.h"
#include "ui/TabControl.h"
#include "ui/Widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMoveEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace morvane;

namespace {

void showActive(QWidget &window)
{
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
}

template <typename T = QWidget> T *control(QWidget &window, const char *name)
{
    T *c = window.findChild<T *>(QString::fromUtf8(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

// The design name of the control that has the focus; a tab control's bar
// counts as the tab control.
std::string focusName()
{
    QWidget *w = QApplication::focusWidget();
    if (!w) return "(none)";
    if (qobject_cast<QTabBar *>(w) && qobject_cast<TabControl *>(w->parentWidget())) w = w->parentWidget();
    return w->objectName().toStdString();
}

// Focus names met from `start` on, pressing Tab (or Shift+Tab) once per
// further name.
std::vector<std::string> tabWalk(QWidget *start, std::size_t count, bool backwards = false)
{
    start->setFocus(Qt::OtherFocusReason);
    std::vector<std::string> names{focusName()};
    while (names.size() < count) {
        QTest::keyClick(QApplication::focusWidget(), backwards ? Qt::Key_Backtab : Qt::Key_Tab,
                        backwards ? Qt::ShiftModifier : Qt::NoModifier);
        names.push_back(focusName());
    }
    return names;
}

void expectNoDefaultButton(QWidget &window)
{
    for (QPushButton *button : window.findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->isDefault()) << button->objectName().toStdString();
        EXPECT_FALSE(button->autoDefault()) << button->objectName().toStdString();
    }
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override { resetAppState(); }
    test::ScriptedDialogs dialogs;
    MainWindow main;
};

TEST_F(Windows, EnterInABoxPressesNoButton)
{
    NewTableWindow designer(main);
    showActive(designer);
    expectNoDefaultButton(designer);
    for (const char *box : {"编辑框2", "编辑框3", "编辑框6", "编辑框4"}) {
        QTest::keyClick(control(designer, box), Qt::Key_Return);
        QTest::keyClick(control(designer, box), Qt::Key_Enter);
        EXPECT_EQ(designer.designList->listRowCount(), 1) << box << ": 添加 was pressed";
    }
    EXPECT_TRUE(designer.isVisible());

    SettingsWindow settings(main);
    showActive(settings);
    expectNoDefaultButton(settings);
    for (const char *box : {"编辑框1", "编辑框2", "编辑框3"})
        QTest::keyClick(control(settings, box), Qt::Key_Return);
    EXPECT_TRUE(dialogs.messages.empty()) << "测试连接 was pressed";
    EXPECT_TRUE(settings.isVisible());

    showActive(main);
    expectNoDefaultButton(main);
    const Text console = getText(main.sqlConsole);
    for (const char *box : {"编辑框2", "编辑框7", "编辑框4", "编辑框6"})
        QTest::keyClick(control(main, box), Qt::Key_Return);
    EXPECT_EQ(getText(main.sqlConsole), console);
}

TEST_F(Windows, TabFollowsThePlacesOfTheDesigner)
{
    NewTableWindow designer(main);
    showActive(designer);
    const std::vector<std::string> order = {"编辑框2", "超级列表框1", "编辑框3",     "选择框3",
                                            "选择框1", "编辑框4",     "编辑框6",     "组合框1",
                                            "编辑框5", "按钮1",       "高级选择夹1", "编辑框2"};
    EXPECT_EQ(tabWalk(designer.tableNameBox, order.size()), order);
    EXPECT_EQ(tabWalk(designer.tableNameBox, order.size(), true),
              std::vector<std::string>(order.rbegin(), order.rend()));

    // Tab in the comment box moves on and types nothing.
    designer.commentBox->setFocus();
    QTest::keyClicks(designer.commentBox, "x");
    QTest::keyClick(designer.commentBox, Qt::Key_Tab);
    EXPECT_EQ(focusName(), "按钮1");
    EXPECT_EQ(getText(designer.commentBox), "x");

    designer.tabs->selectTab(1);
    EXPECT_EQ(tabWalk(designer.statementBox, 3),
              (std::vector<std::string>{"编辑框1", "按钮2", "高级选择夹1"}));
}

TEST_F(Windows, TabFollowsThePlacesOfTheSettingsWindow)
{
    SettingsWindow settings(main);
    showActive(settings);
    const std::vector<std::string> order = {"编辑框1", "编辑框2",     "编辑框3", "按钮2",
                                            "按钮3",   "高级选择夹1", "编辑框1"};
    EXPECT_EQ(tabWalk(settings.serverBox, order.size()), order);
    settings.tabs->selectTab(0);
    EXPECT_EQ(tabWalk(settings.databaseList, 3),
              (std::vector<std::string>{"超级列表框1", "按钮1", "高级选择夹1"}));
}

TEST_F(Windows, TabFollowsThePlacesOfTheMainWindow)
{
    showActive(main);
    main.workspaceTabs->selectTab(0);
    const std::vector<std::string> order = {
        "编辑框2", "编辑框7",     "组合框1",     "编辑框4", "编辑框5", "组合框2",
        "按钮4",   "按钮7",       "选择框3",     "选择框1", "编辑框3", "图片框1" /* its button */,
        "树型框1", "高级选择夹1", "超级列表框2", "编辑框2"};
    std::vector<std::string> walked = tabWalk(main.columnNameBox, order.size());
    for (std::string &name : walked)
        if (name == "按钮_执行sql语句") name = "图片框1";
    EXPECT_EQ(walked, order);

    main.workspaceTabs->selectTab(2);
    EXPECT_EQ(tabWalk(main.queryBox, 7),
              (std::vector<std::string>{"编辑框_查询sql", "按钮1", "按钮5", "超级列表框1", "编辑框6", "按钮6",
                                        "编辑框3"}));
    // Tab in the query box moves on and types nothing.
    setText(main.queryBox, "select 1");
    main.queryBox->setFocus();
    QTest::keyClick(main.queryBox, Qt::Key_Tab);
    EXPECT_EQ(focusName(), "按钮1");
    EXPECT_EQ(getText(main.queryBox), "select 1");
    // Nor in the column editor's comment box.
    main.workspaceTabs->selectTab(0);
    main.commentBox->setFocus();
    QTest::keyClick(main.commentBox, Qt::Key_Tab);
    EXPECT_EQ(focusName(), "组合框2");
    EXPECT_EQ(gbkToUtf8(getText(main.commentBox)), "萨达\r\n大");
}

// Vertical centres of the text lines a label paints, in its parent's
// coordinates, found from the ink of a rendering.
std::vector<int> inkLineCentres(QLabel *label)
{
    const QImage image = label->grab().toImage();
    std::vector<int> centres;
    int start = -1;
    for (int y = 0; y <= image.height(); ++y) {
        bool ink = false;
        for (int x = 0; y < image.height() && x < image.width() && !ink; ++x)
            ink = qGray(image.pixel(x, y)) < 128;
        if (ink && start < 0) start = y;
        if (!ink && start >= 0) {
            centres.push_back(label->y() + (start + y - 1) / 2);
            start = -1;
        }
    }
    return centres;
}

struct LabelCase {
    const char *window;
    const char *label;
    std::vector<const char *> boxes; // the box beside each text line, in order
};

TEST_F(Windows, EachLineOfALabelSitsBesideItsBox)
{
    NewTableWindow designer(main);
    SettingsWindow settings(main);
    main.workspaceTabs->selectTab(0);
    for (QWidget *w : std::initializer_list<QWidget *>{&main, &designer, &settings})
        showActive(*w);
    const LabelCase cases[] = {
        {"main", "标签1", {"编辑框2", "编辑框4", "编辑框5", "组合框2"}},
        {"designer", "标签3", {"编辑框3", "编辑框6", "编辑框5"}},
        {"settings", "标签1", {"编辑框1", "编辑框2", "编辑框3"}},
    };
    for (const LabelCase &c : cases) {
        QWidget &window = std::string(c.window) == "main"       ? static_cast<QWidget &>(main)
                          : std::string(c.window) == "designer" ? static_cast<QWidget &>(designer)
                                                                : static_cast<QWidget &>(settings);
        QLabel *label = control<QLabel>(window, c.label);
        ASSERT_NE(label, nullptr);
        const std::vector<int> centres = inkLineCentres(label);
        ASSERT_EQ(centres.size(), c.boxes.size()) << c.window;
        for (std::size_t i = 0; i < centres.size(); ++i) {
            QWidget *box = control(window, c.boxes[i]);
            ASSERT_EQ(box->parentWidget(), label->parentWidget());
            EXPECT_GE(centres[i], box->geometry().top())
                << c.window << " line " << i << " beside " << c.boxes[i];
            EXPECT_LE(centres[i], box->geometry().bottom())
                << c.window << " line " << i << " beside " << c.boxes[i];
        }
    }
    // "插入位置：" is not the label of the 唯一 check box below it.
    EXPECT_LT(inkLineCentres(control<QLabel>(main, "标签1")).back(), main.uniqueCheck->geometry().top());
}

// Runs `action`, which opens a real message box, and hands the box to
// `inspect` while it is open; then closes it.
void withRealBox(const std::function<void()> &action, const std::function<void(QMessageBox &)> &inspect)
{
    setDialogSeam(nullptr);
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        inspect(*box);
        box->done(0);
    });
    action();
    EXPECT_TRUE(seen);
}

TEST(MessageBoxes, StandardButtonsReadInChineseAndTheCaptionFits)
{
    test::ScriptedDialogs restore; // the scripted seam again once done
    withRealBox([] { messageBox("连接成功"_gbk); },
                [](QMessageBox &box) {
                    EXPECT_EQ(box.windowTitle(), "信息：");
                    ASSERT_EQ(box.buttons().size(), 1);
                    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), "确定");
                    EXPECT_GE(box.width(),
                              box.fontMetrics().horizontalAdvance(box.windowTitle()) + kCaptionRoom);
                });
    withRealBox([] { askYesNo("删除？"_gbk); },
                [](QMessageBox &box) {
                    EXPECT_EQ(box.windowTitle(), "信息：");
                    EXPECT_EQ(box.button(QMessageBox::Yes)->text(), "是(&Y)");
                    EXPECT_EQ(box.button(QMessageBox::No)->text(), "否(&N)");
                    EXPECT_GE(box.width(),
                              box.fontMetrics().horizontalAdvance(box.windowTitle()) + kCaptionRoom);
                });
    setDialogSeam(&restore);
}

TEST_F(Windows, TheDesignerShowsNoCaption)
{
    NewTableWindow designer(main);
    designer.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&designer));
    // An empty title would make Qt show the program's name.
    const QString title = designer.windowHandle()->title();
    EXPECT_FALSE(title.isEmpty());
    EXPECT_TRUE(title.trimmed().isEmpty()) << title.toStdString();
    EXPECT_EQ(getText(&designer).find_first_not_of(' '), Text::npos);
}

TEST(OuterSize, InnerSizeIsTheOuterSizeLessTheFrame)
{
    EXPECT_EQ(innerSizeFor({1263, 770}, {}), QSize(1263, 770));
    EXPECT_EQ(innerSizeFor({1263, 770}, {1, 24, 1, 1}), QSize(1261, 745));
    EXPECT_EQ(innerSizeFor({416, 390}, {4, 30, 4, 4}), QSize(408, 356));
    EXPECT_EQ(innerSizeFor({10, 10}, {8, 30, 8, 8}), QSize(0, 0));
}

TEST(OuterSize, AFrameThatArrivesAfterShowingIsTakenIntoAccountOnce)
{
    QWidget window;
    QMargins frame; // none yet, as before the window manager framed it
    keepOuterSize(&window, {679, 543}, [&] { return frame; });
    EXPECT_EQ(window.size(), QSize(679, 543));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    EXPECT_EQ(window.size(), QSize(679, 543));

    // The window manager frames it: the window is moved into its frame.
    frame = QMargins(1, 24, 1, 1);
    QMoveEvent moved(QPoint(1, 24), QPoint(0, 0));
    QApplication::sendEvent(&window, &moved);
    EXPECT_EQ(window.size(), QSize(677, 518));

    // From then on the user's sizes stay.
    window.resize(500, 400);
    frame = QMargins(2, 30, 2, 2);
    QApplication::sendEvent(&window, &moved);
    EXPECT_EQ(window.size(), QSize(500, 400));
}

TEST_F(Windows, DesignSizesAreOuterSizes)
{
    NewTableWindow designer(main);
    SettingsWindow settings(main);
    const std::pair<QWidget *, QSize> cases[] = {
        {&main, {1263, 770}}, {&designer, {679, 543}}, {&settings, {416, 390}}};
    for (const auto &[window, size] : cases) {
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
        // Offscreen windows have no frame: outer and inner sizes agree.
        EXPECT_EQ(window->frameGeometry().size(), size) << window->objectName().toStdString();
    }
}

} // namespace

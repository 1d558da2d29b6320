#pragma once
// The settings window: hidden databases, grid font size, and the server,
// user name and password, which can be tested and stored.
#include "text/Text.h"

#include <QDialog>
#include <vector>

class QTabWidget;
class QLineEdit;
class QComboBox;
class QPushButton;

namespace morvane {

class MainWindow;
class ListView;
class TabControl;

// Indexes, ascending, of the rows whose check box is ticked.
std::vector<int> checkedRows(const ListView &list);

class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(MainWindow &main);
    ~SettingsWindow() override;

    TabControl *tabs = nullptr;         // 高级选择夹1
    ListView *databaseList = nullptr;   // 超级列表框1
    QPushButton *hideButton = nullptr;  // 按钮1 "隐藏勾选的库"
    QComboBox *fontSizeCombo = nullptr; // 组合框1
    QLineEdit *serverBox = nullptr;     // 编辑框1
    QLineEdit *userBox = nullptr;       // 编辑框2
    QLineEdit *passwordBox = nullptr;   // 编辑框3
    QPushButton *testButton = nullptr;  // 按钮2 "测试连接"
    QPushButton *saveButton = nullptr;  // 按钮3 "保存配置"

    void fillDatabaseList();       // window created
    void hideCheckedDatabases();   // 按钮1
    void applyGridFontSize();      // 组合框1 item picked
    void testConnection();         // 按钮2
    void saveConnectionSettings(); // 按钮3

private:
    MainWindow &m_main;
};

} // namespace morvane

#pragma once
// The settings window: hidden databases, grid font size, and the server,
// user name and password, which can be tested and stored.
#include <QDialog>

class QTabWidget;
class QLineEdit;
class QComboBox;
class QPushButton;

namespace morvane {

class MainWindow;
class ListView;
class TabControl;

class SettingsWindow : public QDialog {
    Q_OBJECT
public:
    explicit SettingsWindow(MainWindow &main);
    ~SettingsWindow() override;

    TabControl *tabs = nullptr;              // 高级选择夹1
    ListView *databaseList = nullptr;        // 超级列表框1
    QPushButton *hideButton = nullptr;       // 按钮1 "隐藏勾选的库"
    QComboBox *fontSizeCombo = nullptr;      // 组合框1
    QLineEdit *serverBox = nullptr;          // 编辑框1
    QLineEdit *userBox = nullptr;            // 编辑框2
    QLineEdit *passwordBox = nullptr;        // 编辑框3
    QPushButton *testButton = nullptr;       // 按钮2 "测试连接"
    QPushButton *saveButton = nullptr;       // 按钮3 "保存配置"

private:
    MainWindow &m_main;
};

} // namespace morvane

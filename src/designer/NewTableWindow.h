#pragma once
// The window that composes and runs a `create table` statement for
// AppState::designTargetDatabase.
#include <QDialog>

class QTabWidget;
class QLineEdit;
class QPlainTextEdit;
class QComboBox;
class QCheckBox;
class QPushButton;
class QLabel;

namespace morvane {

class MainWindow;
class ListView;
class TabControl;

class NewTableWindow : public QDialog {
    Q_OBJECT
public:
    explicit NewTableWindow(MainWindow &main);
    ~NewTableWindow() override;

    TabControl *tabs = nullptr;              // 高级选择夹1
    QLineEdit *tableNameBox = nullptr;       // 编辑框2
    ListView *designList = nullptr;          // 超级列表框1
    QLineEdit *fieldNameBox = nullptr;       // 编辑框3
    QLineEdit *typeBox = nullptr;            // 编辑框6
    QComboBox *typeCombo = nullptr;          // 组合框1
    QPlainTextEdit *commentBox = nullptr;    // 编辑框5
    QCheckBox *uniqueCheck = nullptr;        // 选择框3
    QCheckBox *unsignedCheck = nullptr;      // 选择框1
    QLineEdit *defaultBox = nullptr;         // 编辑框4
    QPushButton *addButton = nullptr;        // 按钮1 "添加"
    QPlainTextEdit *statementBox = nullptr;  // 编辑框1
    QPushButton *runButton = nullptr;        // 按钮2 "执行"
    QPlainTextEdit *errorBox = nullptr;      // 编辑框7

private:
    MainWindow &m_main;
};

} // namespace morvane

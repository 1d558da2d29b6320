#pragma once
// The window that composes and runs a `create table` statement for
// AppState::designTargetDatabase.
#include "text/Text.h"

#include <QDialog>
#include <vector>

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

// The statement for `rows` of the design list (eight cells each): names go
// through sqlName, comments through sqlValue on `connection`, and every
// "----" becomes four spaces.
Text buildCreateTableStatement(int connection, const Text &database, const Text &table,
                               const std::vector<std::vector<Text>> &rows);

class NewTableWindow : public QDialog {
    Q_OBJECT
public:
    explicit NewTableWindow(MainWindow &main);
    ~NewTableWindow() override;

    TabControl *tabs = nullptr;             // 高级选择夹1
    QLineEdit *tableNameBox = nullptr;      // 编辑框2
    ListView *designList = nullptr;         // 超级列表框1
    QLineEdit *fieldNameBox = nullptr;      // 编辑框3
    QLineEdit *typeBox = nullptr;           // 编辑框6
    QComboBox *typeCombo = nullptr;         // 组合框1
    QPlainTextEdit *commentBox = nullptr;   // 编辑框5
    QCheckBox *uniqueCheck = nullptr;       // 选择框3
    QCheckBox *unsignedCheck = nullptr;     // 选择框1
    QLineEdit *defaultBox = nullptr;        // 编辑框4
    QPushButton *addButton = nullptr;       // 按钮1 "添加"
    QPlainTextEdit *statementBox = nullptr; // 编辑框1
    QPushButton *runButton = nullptr;       // 按钮2 "执行"
    QPlainTextEdit *errorBox = nullptr;     // 编辑框7

    void onTypeLinePicked();          // 组合框1 item picked
    void addColumnRow();              // 按钮1 "添加"
    void buildCreateTableStatement(); // switch to the "sql" tab
    void runCreateTable();            // 按钮2 "执行"
    // The design list's rows, eight cells each.
    std::vector<std::vector<Text>> designRows() const;

private:
    MainWindow &m_main;
};

} // namespace morvane

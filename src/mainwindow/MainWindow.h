#pragma once
// The main window: the schema tree, the table workspace on three tabs, the
// SQL console and the menus, and the layout rule. Controls carry their
// design names as objectName; the members carry their roles. It knows no
// handler: the features work on these controls, and the program's start-up
// connects the controls' events to them.
#include <QMainWindow>

class QTabWidget;
class QPlainTextEdit;
class QLineEdit;
class QLabel;
class QPushButton;
class QGroupBox;
class QComboBox;
class QCheckBox;
class QFrame;
class QMenu;
class QAction;

namespace morvane {

class TreeView;
class ListView;
class TabControl;

class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    // Resizes so that the outer size, frame included, is `size` (once the
    // window is shown and its frame is known).
    void setOuterSize(const QSize &size);
    // The layout rule for the current outer size; runs on every resize.
    void applyLayoutRule();
    // A control's rectangle in design coordinates (relative to the
    // container the design names, tab headers included for tab controls).
    QRect designGeometry(const QWidget *control) const;

    // On the window
    TreeView *schemaTree = nullptr;          // 树型框1
    TabControl *workspaceTabs = nullptr;     // 高级选择夹1
    QPlainTextEdit *sqlConsole = nullptr;    // 编辑框3
    QFrame *consolePanel = nullptr;          // 图片框1
    QPushButton *runSqlButton = nullptr;     // 按钮_执行sql语句

    // Tab 0 "结构"
    QLabel *tableLabel = nullptr;            // 标签4 (qualifiedTableName)
    ListView *structureList = nullptr;       // 超级列表框2
    QGroupBox *columnEditor = nullptr;       // 分组框1
    QLineEdit *columnNameBox = nullptr;      // 编辑框2
    QLineEdit *columnTypeBox = nullptr;      // 编辑框7
    QComboBox *typeCombo = nullptr;          // 组合框1
    QLineEdit *defaultBox = nullptr;         // 编辑框4
    QPlainTextEdit *commentBox = nullptr;    // 编辑框5
    QComboBox *afterColumnCombo = nullptr;   // 组合框2
    QCheckBox *uniqueCheck = nullptr;        // 选择框3
    QCheckBox *unsignedCheck = nullptr;      // 选择框1
    QPushButton *addColumnButton = nullptr;  // 按钮4
    QPushButton *modifyColumnButton = nullptr; // 按钮7

    // Tab 1 "建表过程"
    QPlainTextEdit *createStatementBox = nullptr; // 编辑框1
    QPushButton *stripBackquotesButton = nullptr; // 按钮3

    // Tab 2 "数据"
    QPlainTextEdit *queryBox = nullptr;      // 编辑框_查询sql
    QPushButton *queryButton = nullptr;      // 按钮1
    QPushButton *saveWidthsButton = nullptr; // 按钮5
    ListView *dataGrid = nullptr;            // 超级列表框1
    QLineEdit *updateTemplateBox = nullptr;  // 编辑框6
    QPushButton *updateButton = nullptr;     // 按钮6

    // Menus
    QMenu *settingsMenu = nullptr;           // 设置
    QAction *preferencesAction = nullptr;    // 首选项
    QMenu *databaseMenu = nullptr;           // 库右键
    QAction *newDatabaseAction = nullptr;
    QAction *newTableInDatabaseAction = nullptr;
    QAction *dropDatabaseAction = nullptr;
    QMenu *tableMenu = nullptr;              // 表右键
    QAction *newTableAction = nullptr;
    QAction *dropTableAction = nullptr;
    QAction *truncateTableAction = nullptr;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void setDesignGeometry(QWidget *control, const QRect &rect);
};

} // namespace morvane

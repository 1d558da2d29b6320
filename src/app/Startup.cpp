#include "app/Startup.h"

#include "app/Handlers.h"
#include "config/Settings.h"
#include "db/Connection.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "schema/SchemaTree.h"
#include "settings/SettingsWindow.h"
#include "text/Gbk.h"
#include "ui/Dialogs.h"
#include "ui/TabControl.h"
#include "workspace/ColumnEditor.h"
#include "workspace/DataGrid.h"

namespace morvane {

void runStartup(MainWindow &window)
{
    // The controls answer from the start: the settings window opened below
    // already acts on the tree and the grid.
    connectHandlers(window);
    window.workspaceTabs->selectTab(2);

    const Text server = readSetting("本地mysql配置"_gbk, "本地mysql服务器"_gbk);
    const Text user = readSetting("本地mysql配置"_gbk, "本地mysql用户名"_gbk);
    const Text password = readSetting("本地mysql配置"_gbk, "本地mysql密码"_gbk);
    AppState &state = appState();
    state.connection = connect(server, user, password);
    execute(state.connection, "set names gbk");
    if (state.connection == 0) {
        messageBox("mysql连接失败"_gbk);
        // Goes on with whatever connection the settings window leaves.
        openModal<SettingsWindow>(window);
    }

    const Text hiddenDatabases = readSetting("软件设置"_gbk, "隐藏库"_gbk);
    applyGridFontSize(window, readSetting("软件设置"_gbk, "字体大小"_gbk));
    populateSchemaTree(window, hiddenDatabases);
    fillTypeCombo(window.typeCombo);
}

} // namespace morvane

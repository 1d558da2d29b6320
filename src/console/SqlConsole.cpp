#include "console/SqlConsole.h"

#include "db/Connection.h"
#include "db/ErrorText.h"
#include "mainwindow/AppState.h"
#include "mainwindow/MainWindow.h"
#include "text/Gbk.h"
#include "ui/Widgets.h"

#include <QPlainTextEdit>

namespace morvane {

void runSqlConsole(MainWindow &window)
{
    const int connection = appState().connection;
    if (execute(connection, getText(window.sqlConsole))) {
        // A query or "show" typed here leaves rows behind; read and drop them
        // (without holding them: the query may be huge) so the next
        // statement anywhere in the program is not out of sync.
        // The server may still fail the statement while its rows come (a
        // query cancelled or interrupted midway).
        if (discardResult(connection) || serverErrorText(connection, false).empty()) {
            appendText(window.sqlConsole, "\r\n\r\n执行成功！\r\n"_gbk);
            return;
        }
    }
    appendText(window.sqlConsole, "\r\n\r\n执行失败！\r\n"_gbk);
    appendText(window.sqlConsole, serverErrorText(connection) + "\r\n");
}

} // namespace morvane

// Morvane: a desktop administration tool for one MySQL/MariaDB server.
#include "app/CommandLine.h"
#include "app/Startup.h"
#include "app/Translation.h"
#include "app/Version.h"
#include "config/Settings.h"
#include "mainwindow/MainWindow.h"
#include "ui/BusyWait.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <unistd.h>

int main(int argc, char **argv)
{
    if (const int status = morvane::handleCommandLine(argc, argv); status >= 0) return status;
    QApplication app(argc, argv);
    morvane::installQtTranslation();
    morvane::installBusyWait();
    // The program's directory holds its configuration and is the working
    // directory from here on.
    const std::string directory = morvane::runDirectory();
    if (!directory.empty() && chdir(directory.c_str()) != 0) {
        // Nothing depends on the working directory beyond convenience.
    }

    // Ties the windows to the installed menu entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral(MORVANE_APP_ID));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral(MORVANE_APP_ID)));
    morvane::MainWindow window;
    morvane::runStartup(window);
    window.applyLayoutRule();
    if (QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    return app.exec();
}

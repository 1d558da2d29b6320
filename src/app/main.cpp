// Morvane: a desktop administration tool for one MySQL/MariaDB server.
#include "app/Startup.h"
#include "app/Translation.h"
#include "config/Settings.h"
#include "mainwindow/MainWindow.h"

#include <QApplication>
#include <QScreen>
#include <unistd.h>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    morvane::installQtTranslation();
    // The program's directory holds its configuration and is the working
    // directory from here on.
    const std::string directory = morvane::runDirectory();
    if (!directory.empty() && chdir(directory.c_str()) != 0) {
        // Nothing depends on the working directory beyond convenience.
    }

    morvane::MainWindow window;
    morvane::runStartup(window);
    window.resize(1263, 770);
    window.applyLayoutRule();
    if (QScreen *screen = window.screen()) {
        QRect frame = window.frameGeometry();
        frame.moveCenter(screen->availableGeometry().center());
        window.move(frame.topLeft());
    }
    window.show();
    window.setOuterSize(QSize(1263, 770));
    return app.exec();
}

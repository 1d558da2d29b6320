// The main of every test program: points the client library at the sandbox
// server that ctest started, runs headless, then runs the GoogleTest cases.
#include "app/Translation.h"
#include "ui/BusyWait.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>
#include <fstream>
#include <string>

int main(int argc, char **argv)
{
    if (const char *dir = std::getenv("MORVANE_SANDBOX_DIR")) {
        std::string port;
        std::ifstream(std::string(dir) + "/port") >> port;
        setenv("MYSQL_UNIX_PORT", (std::string(dir) + "/mysqld.sock").c_str(), 1);
        if (!port.empty())
            setenv("MYSQL_TCP_PORT", port.c_str(), 1);
    }
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    // As the program does, so standard buttons read in Chinese.
    morvane::installQtTranslation();
    // Round trips run off the GUI thread, as in the program.
    morvane::installBusyWait();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

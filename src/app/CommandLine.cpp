#include "app/CommandLine.h"

#include "app/Version.h"
#include "config/Settings.h"
#include "db/ClientLibrary.h"

#include <QCommandLineParser>
#include <QtGlobal>
#include <algorithm>
#include <cstdio>

namespace morvane {

namespace {

// The options QGuiApplication and QApplication read themselves; accepted here
// so that they reach them.
const char *const kQtValueOptions[] = {"platform",
                                       "platformpluginpath",
                                       "platformtheme",
                                       "plugin",
                                       "qwindowgeometry",
                                       "geometry",
                                       "qwindowicon",
                                       "icon",
                                       "qwindowtitle",
                                       "title",
                                       "session",
                                       "display",
                                       "name",
                                       "style",
                                       "stylesheet",
                                       "qmljsdebugger"};
const char *const kQtFlagOptions[] = {"reverse", "widgetcount", "nograb", "dograb", "testability"};

const char kDescription[] = "Morvane: a desktop administration tool for one MySQL/MariaDB server, for\n"
                            "Chinese-speaking administrators (all text in GBK). It shows the server's\n"
                            "databases and tables, a table's structure, create statement and data, and\n"
                            "runs SQL in its console.";

std::string helpText(const QCommandLineParser &parser, const std::string &configFile)
{
    // Qt's usage line names argv[0] (or a placeholder before the application
    // object exists); the program's name is what a user types.
    std::string text = parser.helpText().toStdString();
    text = "Usage: morvane [options]" + text.substr(std::min(text.find('\n'), text.size()));
    text += "\nConfiguration file for this user (created on the first save when missing):\n  " + configFile +
            "\n";
    text += "\nEnvironment:\n"
            "  MYSQL_UNIX_PORT  socket of the local server, used when the server is left\n"
            "                   empty (the client library's own variable)\n"
            "  MYSQL_TCP_PORT   the server's TCP port (the client library's own variable)\n"
            "  XDG_CONFIG_HOME  holds morvane/配置.ini when the program cannot keep data/\n"
            "                   beside itself (an absolute path; else ~/.config)\n";
    return text;
}

} // namespace

std::string versionText()
{
    std::string text = std::string("morvane ") + MORVANE_VERSION + "\n";
    text += std::string("Qt ") + qVersion() + " (built with " + QT_VERSION_STR + ")\n";
    text +=
        "MariaDB Connector/C " + clientLibraryVersion() + " (built with " + connectorBuildVersion() + ")\n";
    return text;
}

CommandLineOutcome parseCommandLine(const QStringList &arguments, const std::string &configFile)
{
    QCommandLineParser parser;
    // Qt's options are single-dash words (-platform); so are -h and -v.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({"h", "help", "?"}, "Shows this help and ends.");
    const QCommandLineOption version({"v", "version"},
                                     "Shows the version of Morvane, Qt and the client library, and ends.");
    parser.addOption(help);
    parser.addOption(version);
    for (const char *name : kQtValueOptions) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), "value");
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : kQtFlagOptions) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    CommandLineOutcome outcome;
    const std::string tryHelp = "Try 'morvane --help' for more information.\n";
    if (!parser.parse(arguments)) {
        outcome = {true, 2, "", "morvane: " + parser.errorText().toStdString() + "\n" + tryHelp};
    } else if (parser.isSet(help)) {
        outcome = {true, 0, helpText(parser, configFile), ""};
    } else if (parser.isSet(version)) {
        outcome = {true, 0, versionText(), ""};
    } else if (!parser.positionalArguments().isEmpty()) {
        outcome = {true, 2, "",
                   "morvane: unexpected argument '" + parser.positionalArguments().first().toStdString() +
                       "': the program takes no file or name.\n" + tryHelp};
    }
    return outcome;
}

int handleCommandLine(int argc, char **argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLineOutcome outcome = parseCommandLine(arguments, configPath());
    if (!outcome.exit) return -1;
    std::fputs(outcome.out.c_str(), stdout);
    std::fputs(outcome.err.c_str(), stderr);
    std::fflush(stdout);
    return outcome.exitCode;
}

} // namespace morvane

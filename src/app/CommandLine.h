#pragma once
// The command line: --help and --version answer without opening a window (and
// without a display); anything else the program does not know ends it with
// exit status 2. Qt's own options (-platform, -style, ...) pass through to
// the application object.
#include <QStringList>
#include <string>

namespace morvane {

struct CommandLineOutcome {
    bool exit = false; // true: print and end with exitCode; false: start the window
    int exitCode = 0;
    std::string out; // for stdout
    std::string err; // for stderr
};

// `arguments` includes the program name first; `configFile` is the
// configuration path shown by --help.
CommandLineOutcome parseCommandLine(const QStringList &arguments, const std::string &configFile);

std::string versionText();

// For main(), before the application object exists: prints what
// parseCommandLine decided and returns the exit status, or -1 to go on.
int handleCommandLine(int argc, char **argv);

} // namespace morvane

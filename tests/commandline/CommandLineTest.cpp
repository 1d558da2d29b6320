// The command line: what each option answers, that Qt's own options reach the
// application, and that the program itself answers without a display.
#include "app/CommandLine.h"
#include "app/Version.h"
#include "config/Settings.h"

#include <gtest/gtest.h>

#include <QFileInfo>
#include <QProcess>
#include <QProcessEnvironment>
#include <string>
#include <vector>

using namespace morvane;

namespace {

const std::string kConfig = "/home/某 人/.config/morvane/配置.ini";

CommandLineOutcome run(const std::vector<const char *> &arguments)
{
    QStringList list{"morvane"};
    for (const char *argument : arguments)
        list << QString::fromUtf8(argument);
    return parseCommandLine(list, kConfig);
}

bool contains(const std::string &text, const std::string &part)
{
    return text.find(part) != std::string::npos;
}

TEST(CommandLine, WithoutOptionsOrWithQtsOwnTheWindowStarts)
{
    const std::vector<std::vector<const char *>> cases = {
        {},
        {"-platform", "offscreen"},
        {"--platform", "offscreen"},
        {"-style=fusion"},
        {"-reverse", "-qwindowtitle", "标题"},
    };
    for (const auto &arguments : cases) {
        const CommandLineOutcome outcome = run(arguments);
        EXPECT_FALSE(outcome.exit) << (arguments.empty() ? "" : arguments[0]) << ": " << outcome.err;
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(CommandLine, VersionAndHelpAnswerAndEnd)
{
    for (const char *option : {"--version", "-v"}) {
        const CommandLineOutcome outcome = run({option});
        EXPECT_TRUE(outcome.exit);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_EQ(outcome.out.rfind(std::string("morvane ") + MORVANE_VERSION + "\n", 0), 0u) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, std::string("\nQt ") + qVersion())) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, "\nMariaDB Connector/C ")) << outcome.out;
        EXPECT_EQ(outcome.err, "");
    }
    for (const char *option : {"--help", "-h", "-?"}) {
        const CommandLineOutcome outcome = run({option});
        EXPECT_TRUE(outcome.exit);
        EXPECT_EQ(outcome.exitCode, 0);
        EXPECT_TRUE(contains(outcome.out, "Usage: morvane [options]")) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, "MySQL/MariaDB server")) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, "\n  " + kConfig + "\n")) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, "MYSQL_UNIX_PORT")) << outcome.out;
        EXPECT_TRUE(contains(outcome.out, "MYSQL_TCP_PORT")) << outcome.out;
        // Qt's options are accepted, not advertised.
        EXPECT_FALSE(contains(outcome.out, "platform")) << outcome.out;
        EXPECT_EQ(outcome.err, "");
    }
}

TEST(CommandLine, UnknownOptionsAndArgumentsEndWithStatus2)
{
    const struct {
        std::vector<const char *> arguments;
        const char *message;
    } cases[] = {
        // Qt words these itself, in Chinese once its translation is loaded:
        // the message must name what was wrong.
        {{"--bogus"}, "bogus"},
        {{"-x"}, "x"},
        {{"--help", "--bogus"}, "bogus"},
        {{"--versio"}, "versio"},
        {{"-platform"}, "-platform"},
        {{"库.表"}, "unexpected argument '库.表'"},
        {{"--version", "extra"}, nullptr}, // --version wins over a stray argument
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.arguments[0]);
        const CommandLineOutcome outcome = run(c.arguments);
        EXPECT_TRUE(outcome.exit);
        if (!c.message) {
            EXPECT_EQ(outcome.exitCode, 0);
            continue;
        }
        EXPECT_EQ(outcome.exitCode, 2);
        EXPECT_EQ(outcome.out, "");
        EXPECT_EQ(outcome.err.rfind("morvane: ", 0), 0u) << outcome.err;
        EXPECT_TRUE(contains(outcome.err, c.message)) << outcome.err;
        EXPECT_TRUE(contains(outcome.err, "morvane --help")) << outcome.err;
    }
}

struct Result {
    int status;
    std::string out, err;
};

// Runs the built program without any display, so that only an answer that
// comes before the window can succeed.
Result runProgram(const QStringList &arguments)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.insert("QT_QPA_PLATFORM", "xcb");
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(MORVANE_BINARY), arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput().toStdString(), process.readAllStandardError().toStdString()};
}

TEST(CommandLine, TheProgramAnswersWithoutADisplay)
{
    Result version = runProgram({"--version"});
    EXPECT_EQ(version.status, 0) << version.err;
    EXPECT_EQ(version.out, versionText());

    // The help names the file the program itself would use.
    const std::string saved = runDirectory();
    setRunDirectory(QFileInfo(QStringLiteral(MORVANE_BINARY)).absolutePath().toStdString());
    const std::string expected = configPath();
    setRunDirectory(saved);
    Result help = runProgram({"--help"});
    EXPECT_EQ(help.status, 0) << help.err;
    EXPECT_TRUE(contains(help.out, "\n  " + expected + "\n")) << help.out << "\nexpected " << expected;

    Result unknown = runProgram({"--bogus"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(unknown.out, "");
    EXPECT_TRUE(contains(unknown.err, "Unknown option 'bogus'")) << unknown.err;
}

} // namespace

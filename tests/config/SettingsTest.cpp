// The configuration file: files the program writes and files edited by hand,
// where the file goes, and that a write is stored whole or reported lost.
#include "config/Settings.h"
#include "text/Gbk.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <cstdlib>
#include <dirent.h>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

using namespace morvane;

namespace {

std::string readFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

void writeFile(const std::string &path, const std::string &contents)
{
    std::ofstream(path, std::ios::binary) << contents;
}

mode_t modeOf(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

std::vector<std::string> entriesOf(const std::string &directory)
{
    std::vector<std::string> names;
    if (DIR *dir = opendir(directory.c_str())) {
        while (dirent *entry = readdir(dir)) {
            std::string name = entry->d_name;
            if (name != "." && name != "..") names.push_back(name);
        }
        closedir(dir);
    }
    return names;
}

const Text kMysql = "本地mysql配置"_gbk;
const Text kServer = "本地mysql服务器"_gbk;
const Text kUser = "本地mysql用户名"_gbk;
const Text kPassword = "本地mysql密码"_gbk;
const Text kSoftware = "软件设置"_gbk;
const Text kHidden = "隐藏库"_gbk;
const Text kFont = "字体大小"_gbk;
const Text kWidths = "列宽配置"_gbk;

// A fresh program directory for each test, and a user configuration
// directory of its own, so nothing touches the real home.
class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/morvane-settings-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        m_root = pattern;
        m_program = m_root + "/程序";
        ASSERT_EQ(mkdir(m_program.c_str(), 0755), 0);
        m_oldRunDirectory = runDirectory();
        setRunDirectory(m_program);
        m_oldXdg = std::getenv("XDG_CONFIG_HOME") ? std::getenv("XDG_CONFIG_HOME") : "";
        m_oldHome = std::getenv("HOME") ? std::getenv("HOME") : "";
        setenv("XDG_CONFIG_HOME", (m_root + "/xdg").c_str(), 1);
        setenv("HOME", (m_root + "/home").c_str(), 1);
    }
    void TearDown() override
    {
        setRunDirectory(m_oldRunDirectory);
        if (m_oldXdg.empty())
            unsetenv("XDG_CONFIG_HOME");
        else
            setenv("XDG_CONFIG_HOME", m_oldXdg.c_str(), 1);
        setenv("HOME", m_oldHome.c_str(), 1);
        std::system(("chmod -R u+rwx '" + m_root + "' && rm -rf '" + m_root + "'").c_str());
    }
    std::string dataDir() const { return m_program + "/data"; }
    std::string programConfig() const { return dataDir() + "/配置.ini"; }
    std::string userConfig() const { return m_root + "/xdg/morvane/配置.ini"; }
    void handWritten(const std::string &contents)
    {
        ASSERT_EQ(mkdir(dataDir().c_str(), 0755), 0);
        writeFile(programConfig(), contents);
    }

    std::string m_root, m_program, m_oldRunDirectory, m_oldXdg, m_oldHome;
};

TEST(RunDirectory, DefaultsToTheProgramsDirectory)
{
    EXPECT_EQ(runDirectory(), QCoreApplication::applicationDirPath().toStdString());
}

TEST_F(SettingsTest, NothingThereReadsEmptyAndFirstWriteCreatesDirectoryAndPrivateFile)
{
    EXPECT_EQ(configPath(), programConfig());
    EXPECT_EQ(readSetting(kMysql, kServer), "");
    EXPECT_EQ(readSetting(kSoftware, kFont), "");

    ASSERT_TRUE(writeSetting(kMysql, kPassword, "秘密"_gbk));
    EXPECT_EQ(configPath(), programConfig());
    EXPECT_EQ(readFile(programConfig()), "[" + kMysql + "]\r\n" + kPassword + "=" + "秘密"_gbk + "\r\n");
    EXPECT_EQ(modeOf(programConfig()), 0600u);
    EXPECT_EQ(readSetting(kMysql, kPassword), "秘密"_gbk);
    EXPECT_EQ(entriesOf(dataDir()), std::vector<std::string>{"配置.ini"}); // no temporary left behind

    // An empty value is an entry with nothing after '=', never a deletion.
    ASSERT_TRUE(writeSetting(kSoftware, kHidden, ""));
    EXPECT_EQ(readSetting(kSoftware, kHidden), "");
    EXPECT_NE(readFile(programConfig()).find(kHidden + "=\r\n"), std::string::npos);
}

TEST_F(SettingsTest, ReadsHandEditedFiles)
{
    handWritten("; written by hand\n"
                "\n"
                "  [ " +
                kMysql +
                " ]  \n"
                "  " +
                kServer + "  =  127.0.0.1  \n" + kUser + "=\"root\"\n" + kPassword +
                "='p a s s'\n"
                "quoted=\"x\n"
                "mixed=\"x'\n"
                "inner=a\"b\"\n"
                "equals=a=b\n"
                "; commented=yes\n"
                "novalue\n"
                "[Section2]\r\n"
                "Key=crlf\r\n"
                "empty=\r\n"
                "blank=   \r\n"
                "two=\"\"\r\n"
                "[" +
                kWidths +
                "]\n"
                "db.T=50|96|\n"
                "db.t=later\n"
                "[section2]\n"
                "key=second copy\n");
    struct Case {
        Text section, key, expected;
    } cases[] = {
        {kMysql, kServer, "127.0.0.1"},
        {kMysql, kUser, "root"},
        {kMysql, kPassword, "p a s s"},
        {kMysql, "quoted", "\"x"},
        {kMysql, "mixed", "\"x'"},
        {kMysql, "inner", "a\"b\""},
        {kMysql, "equals", "a=b"},
        {kMysql, "commented", ""},
        {kMysql, "; commented", ""},
        {kMysql, "novalue", ""},
        {kMysql, "Key", ""}, // belongs to another section
        {"section2", "KEY", "crlf"},
        {"SECTION2", "key", "crlf"},
        {"Section2", "empty", ""},
        {"Section2", "blank", ""},
        {"Section2", "two", ""},
        {kWidths, "DB.t", "50|96|"},                   // the first of two keys that differ only in case
        {" \t\x01" + kMysql, "\x1f " + kUser, "root"}, // leading bytes <= 0x20 skipped
        {"   ", kUser, ""},
        {kMysql, "\t\n", ""},
        {"", kUser, ""},
        {"missing", kUser, ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(gbkToUtf8(c.section) + " / " + gbkToUtf8(c.key));
        EXPECT_EQ(readSetting(c.section, c.key), c.expected);
    }
}

TEST_F(SettingsTest, OnlyAsciiLettersFoldAndGbkSecondBytesStayApart)
{
    // 0x81 0x41 and 0x81 0x61 are two different characters, not two cases.
    handWritten("[s]\r\n\x81\x41=upper\r\n\x81\x61=lower\r\n");
    EXPECT_EQ(readSetting("S", "\x81\x41"), "upper");
    EXPECT_EQ(readSetting("s", "\x81\x61"), "lower");
    ASSERT_TRUE(writeSetting("s", "\x81\x61", "changed"));
    EXPECT_EQ(readFile(programConfig()), "[s]\r\n\x81\x41=upper\r\n\x81\x61=changed\r\n");
}

TEST_F(SettingsTest, LongValuesAreCutAt10239Bytes)
{
    const Text exact(10239, 'x');
    Text longer = exact + "yz";
    ASSERT_TRUE(writeSetting(kWidths, "exact", exact));
    ASSERT_TRUE(writeSetting(kWidths, "longer", longer));
    EXPECT_EQ(readSetting(kWidths, "exact"), exact);
    EXPECT_EQ(readSetting(kWidths, "longer"), exact);
    // The whole value is stored; only reading cuts it.
    EXPECT_NE(readFile(programConfig()).find(longer), std::string::npos);
}

struct RewriteCase {
    const char *name;
    std::string before;
    Text section, key, value;
    std::string after;
};

// A rewrite touches only the entry's line and keeps the file's own line
// ending, comments, blank lines and other sections byte for byte.
TEST_F(SettingsTest, RewriteKeepsEverythingElse)
{
    const std::string handLf = "; 配置\n"
                               "\n"
                               "[a]\n"
                               "Key = old  \n"
                               "other=1\n"
                               "\n"
                               "; about b\n"
                               "[b]\n"
                               "x=\"q\"\n";
    const RewriteCase cases[] = {
        {"replace, key spelling kept", handLf, "A", "key", "new",
         "; 配置\n\n[a]\nKey=new\nother=1\n\n; about b\n[b]\nx=\"q\"\n"},
        {"add key before the blank line", handLf, "a", "added", "v",
         "; 配置\n\n[a]\nKey = old  \nother=1\nadded=v\n\n; about b\n[b]\nx=\"q\"\n"},
        {"add key to the last section", handLf, "b", "y", "2",
         "; 配置\n\n[a]\nKey = old  \nother=1\n\n; about b\n[b]\nx=\"q\"\ny=2\n"},
        {"add section", handLf, "c", "k", "", handLf + "[c]\nk=\n"},
        {"CRLF kept", "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n", "b", "K", "3", "[a]\r\nk=1\r\n\r\n[b]\r\nk=3\r\n"},
        {"no final line break", "[a]\nk=1", "a", "k", "2", "[a]\nk=2\n"},
        {"first of two sections", "[a]\nk=1\n[A]\nk=2\n", "a", "k", "3", "[a]\nk=3\n[A]\nk=2\n"},
        {"empty file", "", "a", "k", "v", "[a]\r\nk=v\r\n"},
        {"value written as passed", "[a]\r\n", "a", "k", " 'q' ", "[a]\r\nk= 'q' \r\n"},
        {"lone CR kept", "[a]\rk=1\r[b]\rk=2\r", "b", "k", "3", "[a]\rk=1\r[b]\rk=3\r"},
        {"lone CR, key added", "[a]\rk=1\r\r[b]\r", "a", "j", "2", "[a]\rk=1\rj=2\r\r[b]\r"},
        {"lone CR, section added", "[a]\rk=1", "c", "k", "v", "[a]\rk=1\r[c]\rk=v\r"},
        {"each line keeps its own ending", "[a]\r\nk=1\nj=2\r", "a", "k", "3", "[a]\r\nk=3\nj=2\r"},
        {"lone CR on the last line", "[a]\nk=1\r", "a", "j", "2", "[a]\nk=1\rj=2\n"},
        {"LF CR is two line ends", "[a]\n\rk=1\n", "a", "k", "2", "[a]\n\rk=2\n"},
        {"GBK ']' section replaced", "[\x81\x5d]\r\nk=1\r\n", "\x81\x5d", "k", "2", "[\x81\x5d]\r\nk=2\r\n"},
        {"GBK ']' section added", "[a]\r\nk=1\r\n", "\x81\x5d", "k", "2",
         "[a]\r\nk=1\r\n[\x81\x5d]\r\nk=2\r\n"},
    };
    for (const RewriteCase &c : cases) {
        SCOPED_TRACE(c.name);
        mkdir(dataDir().c_str(), 0755);
        writeFile(programConfig(), c.before);
        ASSERT_TRUE(writeSetting(c.section, c.key, c.value));
        EXPECT_EQ(readFile(programConfig()), c.after);
        EXPECT_EQ(entriesOf(dataDir()).size(), 1u);
    }
}

// Lines end at CRLF, LF or a lone CR, as the Windows profile functions read
// them; each file below holds the same entries.
TEST_F(SettingsTest, ReadsEveryLineEnding)
{
    const struct {
        const char *name;
        std::string contents;
    } files[] = {
        {"LF", "[a]\nk=1\n\n[b]\nk=2\nj=3\n"},        {"CRLF", "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\nj=3\r\n"},
        {"CR", "[a]\rk=1\r\r[b]\rk=2\rj=3\r"},        {"CR, none at the end", "[a]\rk=1\r\r[b]\rk=2\rj=3"},
        {"mixed", "[a]\rk=1\n\r\n[b]\r\nk=2\rj=3\n"}, {"LF CR", "[a]\n\rk=1\n\r[b]\n\rk=2\n\rj=3\n\r"},
    };
    for (const auto &file : files) {
        SCOPED_TRACE(file.name);
        mkdir(dataDir().c_str(), 0755);
        writeFile(programConfig(), file.contents);
        EXPECT_EQ(readSetting("a", "k"), "1");
        EXPECT_EQ(readSetting("b", "k"), "2");
        EXPECT_EQ(readSetting("b", "j"), "3");
        EXPECT_EQ(readSetting("a", "j"), "");
    }
}

// 乚 is 0x81 0x5D: its second byte is ']' and must not end the section name.
TEST_F(SettingsTest, SectionNamesHoldingGbkSecondByteBracket)
{
    const Text yi = "乚"_gbk;
    ASSERT_EQ(yi, "\x81\x5d");
    handWritten("[" + yi + "]\r\nk=1\r\n[" + yi + "x]\r\nk=2\r\n[" + "運"_gbk + yi + "] comment\r\nk=4\r\n");
    EXPECT_EQ(readSetting(yi, "k"), "1");
    EXPECT_EQ(readSetting(yi + "x", "k"), "2");
    EXPECT_EQ(readSetting("運"_gbk + yi, "k"), "4");
    EXPECT_EQ(readSetting("\x81", "k"), ""); // no section is cut to the lead byte

    ASSERT_TRUE(writeSetting(yi, "k", "5"));
    ASSERT_TRUE(writeSetting(yi + yi, "k", "6"));
    EXPECT_EQ(readSetting(yi, "k"), "5");
    EXPECT_EQ(readSetting(yi + yi, "k"), "6");
    EXPECT_EQ(readSetting(yi + "x", "k"), "2");
    // A lead byte without its second byte would swallow the closing ']'.
    EXPECT_FALSE(writeSetting("a\x81", "k", "7"));
    EXPECT_EQ(readSetting("a\x81", "k"), "");
}

namespace {

// Runs `body` in a child process that is killed after a few seconds, so a
// read that blocks fails the test instead of hanging it.
int exitCodeOfBoundedChild(const std::function<int()> &body)
{
    pid_t pid = fork();
    if (pid == 0) {
        alarm(10);
        _exit(body());
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

// Whatever takes the file's place (a FIFO, a link to a device that never
// ends, a file far too large) reads as absent, at once, and is never
// overwritten.
TEST_F(SettingsTest, OnlyARegularFileOfSaneSizeIsRead)
{
    const off_t limit = 16 << 20;
    const struct {
        const char *name;
        std::function<void(const std::string &)> make;
    } cases[] = {
        {"FIFO", [](const std::string &path) { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"link to /dev/zero",
         [](const std::string &path) { ASSERT_EQ(symlink("/dev/zero", path.c_str()), 0); }},
        {"link to /dev/urandom",
         [](const std::string &path) { ASSERT_EQ(symlink("/dev/urandom", path.c_str()), 0); }},
        {"one byte over the size limit",
         [limit](const std::string &path) {
             writeFile(path, "[a]\nk=1\n");
             ASSERT_EQ(truncate(path.c_str(), limit + 1), 0);
         }},
    };
    mkdir(dataDir().c_str(), 0755);
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        unlink(programConfig().c_str());
        c.make(programConfig());
        struct stat before;
        ASSERT_EQ(lstat(programConfig().c_str(), &before), 0);
        EXPECT_EQ(exitCodeOfBoundedChild([] { return readSetting("a", "k").empty() ? 0 : 1; }), 0);
        EXPECT_EQ(exitCodeOfBoundedChild([] { return writeSetting("a", "k", "2") ? 1 : 0; }), 0);
        struct stat after;
        ASSERT_EQ(lstat(programConfig().c_str(), &after), 0);
        EXPECT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(after.st_size, before.st_size);
        EXPECT_EQ(entriesOf(dataDir()).size(), 1u);
    }

    // At the limit the file is still read and written (its last line ends, so
    // the rewrite keeps the size).
    unlink(programConfig().c_str());
    writeFile(programConfig(), "[a]\nk=1\n");
    ASSERT_EQ(truncate(programConfig().c_str(), limit - 1), 0);
    std::ofstream(programConfig(), std::ios::binary | std::ios::app) << '\n';
    ASSERT_EQ(readFile(programConfig()).size(), std::size_t(limit));
    EXPECT_EQ(readSetting("a", "k"), "1");
    EXPECT_TRUE(writeSetting("a", "k", "2"));
    EXPECT_EQ(readSetting("a", "k"), "2");
}

TEST_F(SettingsTest, TheProgramsOwnValuesRoundTrip)
{
    ASSERT_TRUE(writeSetting(kMysql, kServer, "localhost"));
    ASSERT_TRUE(writeSetting(kMysql, kUser, "root"));
    ASSERT_TRUE(writeSetting(kMysql, kPassword, "p=w;\"'"));
    ASSERT_TRUE(writeSetting(kSoftware, kHidden, "a|b|"));
    ASSERT_TRUE(writeSetting(kSoftware, kFont, "12"));
    ASSERT_TRUE(writeSetting(kWidths, "db.T", "50|96|120|"));
    ASSERT_TRUE(writeSetting(kWidths, "db.t", "60|"));      // the same entry as db.T
    ASSERT_TRUE(writeSetting(kMysql, kServer, "10.0.0.1")); // replaced in place
    EXPECT_EQ(readSetting(kMysql, kServer), "10.0.0.1");
    EXPECT_EQ(readSetting(kMysql, kUser), "root");
    EXPECT_EQ(readSetting(kMysql, kPassword), "p=w;\"'");
    EXPECT_EQ(readSetting(kSoftware, kHidden), "a|b|");
    EXPECT_EQ(readSetting(kSoftware, kFont), "12");
    EXPECT_EQ(readSetting(kWidths, "DB.T"), "60|");
    EXPECT_EQ(readFile(programConfig()), "[" + kMysql + "]\r\n" + kServer + "=10.0.0.1\r\n" + kUser +
                                             "=root\r\n" + kPassword + "=p=w;\"'\r\n[" + kSoftware + "]\r\n" +
                                             kHidden + "=a|b|\r\n" + kFont + "=12\r\n[" + kWidths +
                                             "]\r\ndb.T=60|\r\n");
}

TEST_F(SettingsTest, WritesThatCannotBeStoredReportFalseAndChangeNothing)
{
    handWritten("[a]\nk=1\n");
    const std::string before = readFile(programConfig());
    EXPECT_FALSE(writeSetting("   ", "k", "v"));
    EXPECT_FALSE(writeSetting("a", "\x01\x02", "v"));
    EXPECT_FALSE(writeSetting("", "k", "v"));
    EXPECT_FALSE(writeSetting("a", "k", "two\r\nlines"));
    EXPECT_FALSE(writeSetting("a", "k", "x\n[evil]"));
    // Names that would not read back as themselves: the line would hold
    // another key, a comment or a section header instead.
    EXPECT_FALSE(writeSetting("a", "db.t\r\nk", "9"));
    EXPECT_FALSE(writeSetting("a", "db.a=b", "9"));
    EXPECT_FALSE(writeSetting("a", ";db.t", "9"));
    EXPECT_FALSE(writeSetting("a", "[db.t", "9"));
    EXPECT_FALSE(writeSetting("a]b", "k", "9"));
    EXPECT_FALSE(writeSetting("a\nb", "k", "9"));
    EXPECT_EQ(readFile(programConfig()), before);
    EXPECT_EQ(readSetting("a", "k"), "1");

    // The file's place taken by a directory.
    ASSERT_EQ(unlink(programConfig().c_str()), 0);
    ASSERT_EQ(mkdir(programConfig().c_str(), 0755), 0);
    EXPECT_FALSE(writeSetting("a", "k", "2"));
    EXPECT_EQ(readSetting("a", "k"), "");
    EXPECT_EQ(entriesOf(dataDir()).size(), 1u);
}

TEST_F(SettingsTest, ExistingFileKeepsItsModeAndLinksStayLinks)
{
    handWritten("[a]\nk=1\n");
    chmod(programConfig().c_str(), 0640);
    ASSERT_TRUE(writeSetting("a", "k", "2"));
    EXPECT_EQ(modeOf(programConfig()), 0640u);

    const std::string elsewhere = m_root + "/real.ini";
    writeFile(elsewhere, "[a]\nk=1\n");
    ASSERT_EQ(unlink(programConfig().c_str()), 0);
    ASSERT_EQ(symlink(elsewhere.c_str(), programConfig().c_str()), 0);
    ASSERT_TRUE(writeSetting("a", "k", "3"));
    struct stat st;
    ASSERT_EQ(lstat(programConfig().c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(readFile(elsewhere), "[a]\nk=3\n");
    EXPECT_EQ(readSetting("a", "k"), "3");
}

// When the program's directory cannot hold data/, reads and writes both go to
// the user's configuration directory.
TEST_F(SettingsTest, UnusableProgramDirectoryFallsBackToUserConfiguration)
{
    // data/ taken by a plain file: it can never become the directory.
    writeFile(dataDir(), "not a directory");
    EXPECT_EQ(configPath(), userConfig());
    EXPECT_EQ(readSetting("a", "k"), "");
    ASSERT_TRUE(writeSetting("a", "k", "v"));
    EXPECT_EQ(readSetting("a", "k"), "v");
    EXPECT_EQ(readFile(userConfig()), "[a]\r\nk=v\r\n");
    EXPECT_EQ(modeOf(userConfig()), 0600u);
    EXPECT_EQ(modeOf(m_root + "/xdg/morvane"), 0700u);

    // A program directory that does not exist.
    setRunDirectory(m_root + "/gone/bin");
    EXPECT_EQ(configPath(), userConfig());
    EXPECT_EQ(readSetting("a", "k"), "v");

    // Without XDG_CONFIG_HOME (or with a relative one): ~/.config/morvane.
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(configPath(), m_root + "/home/.config/morvane/配置.ini");
    setenv("XDG_CONFIG_HOME", "relative/dir", 1);
    EXPECT_EQ(configPath(), m_root + "/home/.config/morvane/配置.ini");
    ASSERT_TRUE(writeSetting("a", "k", "home"));
    EXPECT_EQ(readSetting("a", "k"), "home");

    // A user directory that cannot be made either: the write is reported lost.
    setenv("XDG_CONFIG_HOME", (dataDir() + "/below-a-file").c_str(), 1);
    EXPECT_FALSE(writeSetting("a", "k", "lost"));
    EXPECT_EQ(readSetting("a", "k"), "");
}

TEST_F(SettingsTest, ReadOnlyProgramDirectory)
{
    if (geteuid() == 0) {
        // Permissions do not stop root; a program directory that is a file
        // stands in for one that cannot be written.
        writeFile(m_root + "/plain", "");
        setRunDirectory(m_root + "/plain");
    } else {
        ASSERT_EQ(chmod(m_program.c_str(), 0555), 0);
    }
    EXPECT_EQ(configPath(), userConfig());
    ASSERT_TRUE(writeSetting(kSoftware, kFont, "14"));
    EXPECT_EQ(readSetting(kSoftware, kFont), "14");
    EXPECT_EQ(entriesOf(m_program).size(), 0u);

    if (geteuid() != 0) {
        // data/ present but read-only: it stays the place, and the write fails.
        ASSERT_EQ(chmod(m_program.c_str(), 0755), 0);
        ASSERT_EQ(mkdir(dataDir().c_str(), 0555), 0);
        EXPECT_EQ(configPath(), programConfig());
        EXPECT_FALSE(writeSetting(kSoftware, kFont, "15"));
        EXPECT_EQ(readSetting(kSoftware, kFont), "");
    }
}

// Installed in the system's directories the program keeps its settings in the
// user's configuration directory even when it could write beside itself (as
// root it can write into /usr/bin); a build tree or a folder of its own keeps
// data/ beside the program.
TEST_F(SettingsTest, SystemInstallationsNeverUseTheirOwnDirectory)
{
    const struct {
        const char *directory;
        bool system;
    } cases[] = {
        {"/usr/bin", true},
        {"/usr/local/bin", true},
        {"/usr/lib/morvane", true},
        {"/usr", true},
        {"/bin", true},
        {"/sbin", true},
        {"/usrlocal/bin", false},
        {"/binaries", false},
        {"/opt/morvane/bin", false},
        {"/home/u/usr/bin", false},
        {"/", false},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.directory);
        EXPECT_EQ(isSystemDirectory(c.directory), c.system);
        if (c.system) {
            setRunDirectory(std::string(c.directory) + "/");
            EXPECT_EQ(configPath(), userConfig());
        }
    }

    // /usr/bin exists, and root may write there: still the user's directory,
    // and a save leaves /usr alone.
    setRunDirectory("/usr/bin");
    ASSERT_EQ(configPath(), userConfig());
    struct stat before;
    const bool hadData = stat("/usr/bin/data", &before) == 0;
    ASSERT_TRUE(writeSetting(kMysql, kServer, "localhost"));
    EXPECT_EQ(readSetting(kMysql, kServer), "localhost");
    EXPECT_EQ(readFile(userConfig()), "[" + kMysql + "]\r\n" + kServer + "=localhost\r\n");
    struct stat after;
    EXPECT_EQ(stat("/usr/bin/data", &after) == 0, hadData);

    // Without XDG_CONFIG_HOME: ~/.config/morvane, created on the first save.
    unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(configPath(), m_root + "/home/.config/morvane/配置.ini");
    ASSERT_TRUE(writeSetting(kSoftware, kFont, "12"));
    EXPECT_EQ(readFile(m_root + "/home/.config/morvane/配置.ini"),
              "[" + kSoftware + "]\r\n" + kFont + "=12\r\n");
    EXPECT_EQ(modeOf(m_root + "/home/.config/morvane"), 0700u);

    // A build tree (any writable folder outside them) keeps data/ beside the program.
    setRunDirectory(m_program);
    EXPECT_EQ(configPath(), programConfig());
}

} // namespace

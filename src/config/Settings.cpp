#include "config/Settings.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

// The file follows the Windows profile format so that a configuration can be
// moved between systems and edited by hand:
// - "[section]" lines open sections, "key=value" lines are entries, lines
//   that begin with ';' are comments; blanks around names and values are not
//   part of them, and a value wrapped in a pair of '"' or '\'' reads without
//   them.
// - Section and key names match ignoring the case of ASCII characters only;
//   the second byte of a GBK character is never folded, so two different
//   Chinese names never match each other.
// - The first section and the first key that match are the ones read and
//   written.
// - A line ends at CRLF, LF or a lone CR, as the Windows functions read it;
//   a rewrite keeps each line's own ending, lines it adds get the file's
//   first one, and a new file gets CRLF, as the Windows functions write it.
// - A section name ends at the first ']' that is a character of its own, not
//   the second byte of a GBK character (乚 is 0x81 0x5D).
// - Only a regular file of sane size is read: a FIFO, a device or a runaway
//   file in its place reads as absent and is never overwritten.
// - A rewrite changes only the entry's line (or adds one), keeping comments,
//   blank lines and everything else byte for byte, and replaces the file
//   through a temporary file and a rename so it is never left half written.

namespace morvane {

namespace {

constexpr std::size_t kValueLimit = 10239; // the readers' fixed buffer, less its zero
// Far above any file the program writes; a larger one is not a profile.
constexpr off_t kFileLimit = 16 << 20;
const char kConfigName[] = "配置.ini"; // UTF-8, as Linux names are

std::mutex g_runDirectoryMutex;
std::string g_runDirectory;
bool g_runDirectorySet = false;

std::string programDirectory()
{
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return ".";
    std::string path(buffer, static_cast<std::size_t>(n));
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

std::string skipLeadingControls(const std::string &text)
{
    std::size_t i = 0;
    while (i < text.size() && static_cast<unsigned char>(text[i]) <= 0x20)
        ++i;
    return text.substr(i);
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string trimBlanks(const std::string &text)
{
    std::size_t begin = 0, end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

// Equal ignoring the case of ASCII characters, stepping over GBK characters.
bool sameName(const std::string &a, const std::string &b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 0x80) {
            if (x != y || (i + 1 < a.size() && a[i + 1] != b[i + 1])) return false;
            ++i;
            continue;
        }
        if (x >= 'A' && x <= 'Z') x += 'a' - 'A';
        if (y >= 'A' && y <= 'Z') y += 'a' - 'A';
        if (x != y) return false;
    }
    return true;
}

bool isDirectory(const std::string &path)
{
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool pathExists(const std::string &path)
{
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

std::string userConfigDirectory()
{
    const char *xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return std::string(xdg) + "/morvane";
    std::string home;
    if (const char *env = std::getenv("HOME"); env && env[0])
        home = env;
    else if (const passwd *pw = getpwuid(getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    else
        home = "/tmp";
    return home + "/.config/morvane";
}

// mkdir -p; new directories are private to the user when `privateMode`.
bool makeDirectories(const std::string &path, bool privateMode)
{
    if (path.empty() || isDirectory(path)) return true;
    std::size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !makeDirectories(path.substr(0, slash), privateMode))
        return false;
    if (mkdir(path.c_str(), privateMode ? 0700 : 0777) == 0 || errno == EEXIST) return isDirectory(path);
    return false;
}

// Reads a regular file of at most kFileLimit bytes. Opening does not block
// (a FIFO without a writer would), and the size is checked again while
// reading, since the file may grow.
bool readWholeFile(const std::string &path, std::string &contents)
{
    int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) return false;
    contents.clear();
    struct stat st;
    bool ok = fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size <= kFileLimit;
    char buffer[65536];
    while (ok) {
        ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            contents.append(buffer, static_cast<std::size_t>(n));
            ok = contents.size() <= static_cast<std::size_t>(kFileLimit);
        } else if (n == 0) {
            break;
        } else if (errno != EINTR) {
            ok = false;
        }
    }
    close(fd);
    if (!ok) contents.clear();
    return ok;
}

bool writeAll(int fd, const std::string &data)
{
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// One line of the file, and the line ending it had ("" for a last line
// without one).
struct Line {
    std::string text;
    enum Kind { Other, Section, Entry } kind = Other;
    std::string name; // section name or key, blanks trimmed
    std::string end;
};

// The first ']' from `from` that is a character of its own; npos when there
// is none, or when a GBK lead byte at the end has no second byte.
std::size_t findClosingBracket(const std::string &text, std::size_t from)
{
    for (std::size_t i = from; i < text.size(); ++i) {
        if (static_cast<unsigned char>(text[i]) >= 0x80) {
            if (++i >= text.size()) return std::string::npos;
        } else if (text[i] == ']') {
            return i;
        }
    }
    return std::string::npos;
}

std::vector<Line> parseLines(const std::string &contents)
{
    std::vector<Line> lines;
    std::size_t start = 0;
    while (start < contents.size()) {
        std::size_t end = contents.find_first_of("\r\n", start);
        if (end == std::string::npos) end = contents.size();
        std::size_t next = end;
        if (next < contents.size() && contents[next] == '\r') ++next;
        if (next < contents.size() && contents[next] == '\n') ++next;
        Line line;
        line.text = contents.substr(start, end - start);
        line.end = contents.substr(end, next - end);
        std::string trimmed = trimBlanks(line.text);
        if (!trimmed.empty() && trimmed[0] == '[') {
            std::size_t close = findClosingBracket(trimmed, 1);
            line.kind = Line::Section;
            line.name =
                trimBlanks(trimmed.substr(1, close == std::string::npos ? std::string::npos : close - 1));
        } else if (!trimmed.empty() && trimmed[0] != ';') {
            std::size_t equals = trimmed.find('=');
            if (equals != std::string::npos) {
                line.kind = Line::Entry;
                line.name = trimBlanks(trimmed.substr(0, equals));
            }
        }
        lines.push_back(std::move(line));
        start = next;
    }
    return lines;
}

// The lines [begin, end) of the first section named `section`; begin is the
// section's header line. Returns false when there is no such section.
bool findSection(const std::vector<Line> &lines, const std::string &section, std::size_t &begin,
                 std::size_t &end)
{
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].kind != Line::Section || !sameName(lines[i].name, section)) continue;
        begin = i;
        end = i + 1;
        while (end < lines.size() && lines[end].kind != Line::Section)
            ++end;
        return true;
    }
    return false;
}

std::size_t findEntry(const std::vector<Line> &lines, std::size_t begin, std::size_t end,
                      const std::string &key)
{
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (lines[i].kind == Line::Entry && sameName(lines[i].name, key)) return i;
    }
    return std::string::npos;
}

std::string entryValue(const std::string &lineText)
{
    std::string value = trimBlanks(lineText.substr(lineText.find('=') + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        value = value.substr(1, value.size() - 2);
    return value;
}

// Writes `contents` to a temporary file beside `path`, flushes it to disk and
// renames it over `path`.
bool replaceFile(const std::string &path, const std::string &contents, mode_t mode)
{
    std::size_t slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
    std::string temp = path + ".XXXXXX";
    int fd = mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) return false;
    bool ok = fchmod(fd, mode) == 0 && writeAll(fd, contents) && fsync(fd) == 0;
    ok = close(fd) == 0 && ok;
    if (!ok || rename(temp.c_str(), path.c_str()) != 0) {
        unlink(temp.c_str());
        return false;
    }
    int dirFd = open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        fsync(dirFd);
        close(dirFd);
    }
    return true;
}

} // namespace

std::string runDirectory()
{
    std::lock_guard<std::mutex> lock(g_runDirectoryMutex);
    if (!g_runDirectorySet) {
        g_runDirectory = programDirectory();
        g_runDirectorySet = true;
    }
    return g_runDirectory;
}

void setRunDirectory(const std::string &path)
{
    std::lock_guard<std::mutex> lock(g_runDirectoryMutex);
    g_runDirectory = path;
    while (g_runDirectory.size() > 1 && g_runDirectory.back() == '/')
        g_runDirectory.pop_back();
    g_runDirectorySet = true;
}

bool isSystemDirectory(const std::string &directory)
{
    for (const char *prefix : {"/usr", "/bin", "/sbin"}) {
        const std::size_t n = std::strlen(prefix);
        if (directory.compare(0, n, prefix) == 0 && (directory.size() == n || directory[n] == '/'))
            return true;
    }
    return false;
}

// The program's own data/ is used when it exists as a directory, or when it
// is missing and the program's directory is writable, so that a write can
// create it. A program installed in the system's directories (/usr and
// /usr/local included) never keeps its settings beside itself, even when run
// by root, who could write there. Otherwise the user's configuration
// directory is used. Reads and writes decide alike, so a value is always read
// back from where it was written.
std::string configPath()
{
    std::string base = skipLeadingControls(runDirectory());
    std::string data = (base == "/" ? std::string() : base) + "/data";
    if (!isSystemDirectory(base) && (isDirectory(data) || (!pathExists(data) && isDirectory(base) &&
                                                           access(base.c_str(), W_OK | X_OK) == 0)))
        return data + "/" + kConfigName;
    return userConfigDirectory() + "/" + kConfigName;
}

Text readSetting(const Text &section, const Text &key)
{
    std::string path = skipLeadingControls(configPath());
    std::string sectionName = trimBlanks(skipLeadingControls(section));
    std::string keyName = trimBlanks(skipLeadingControls(key));
    if (path.empty() || sectionName.empty() || keyName.empty()) return Text();
    std::string contents;
    if (!readWholeFile(path, contents)) return Text();
    std::vector<Line> lines = parseLines(contents);
    std::size_t begin = 0, end = 0;
    if (!findSection(lines, sectionName, begin, end)) return Text();
    std::size_t entry = findEntry(lines, begin, end, keyName);
    if (entry == std::string::npos) return Text();
    std::string value = entryValue(lines[entry].text);
    if (value.size() > kValueLimit) value.resize(kValueLimit);
    return value;
}

bool writeSetting(const Text &section, const Text &key, const Text &value)
{
    std::string path = skipLeadingControls(configPath());
    std::string sectionName = trimBlanks(skipLeadingControls(section));
    std::string keyName = trimBlanks(skipLeadingControls(key));
    if (path.empty() || sectionName.empty() || keyName.empty()) return false;
    // A line break would split the entry and turn the rest of the value into
    // lines of their own.
    if (value.find_first_of("\r\n") != std::string::npos) return false;
    // So would one in a name; and a name the reader would take for something
    // else (another key, a comment, a section) could never be read back.
    if (sectionName.find_first_of("\r\n") != std::string::npos ||
        findClosingBracket(sectionName + "]", 0) != sectionName.size() ||
        keyName.find_first_of("\r\n=") != std::string::npos || keyName[0] == ';' || keyName[0] == '[')
        return false;

    std::size_t slash = path.find_last_of('/');
    std::string directory = slash == std::string::npos ? "." : path.substr(0, slash);
    if (!makeDirectories(directory, directory == userConfigDirectory())) return false;

    // A link to the file is kept as a link: the file it names is replaced.
    char resolved[PATH_MAX];
    std::string target = path;
    struct stat linkStat;
    if (lstat(path.c_str(), &linkStat) == 0 && S_ISLNK(linkStat.st_mode) && realpath(path.c_str(), resolved))
        target = resolved;

    std::string contents;
    mode_t mode = 0600; // it holds the password
    struct stat st;
    if (stat(target.c_str(), &st) == 0) {
        if (!S_ISREG(st.st_mode) || !readWholeFile(target, contents)) return false;
        mode = st.st_mode & 07777;
    } else if (errno != ENOENT) {
        return false;
    }

    std::vector<Line> lines = parseLines(contents);
    std::string eol = "\r\n";
    for (const Line &line : lines) {
        if (!line.end.empty()) {
            eol = line.end;
            break;
        }
    }

    std::size_t begin = 0, end = 0;
    if (!findSection(lines, sectionName, begin, end)) {
        lines.push_back({"[" + sectionName + "]", Line::Section, sectionName, eol});
        lines.push_back({keyName + "=" + value, Line::Entry, keyName, eol});
    } else if (std::size_t entry = findEntry(lines, begin, end, keyName); entry != std::string::npos) {
        // The key keeps the spelling it has in the file.
        lines[entry].text = lines[entry].name + "=" + value;
    } else {
        // After the section's last entry (or its header), so blank lines and
        // comments that lead to the next section stay in front of it.
        std::size_t at = begin + 1;
        for (std::size_t i = begin + 1; i < end; ++i) {
            if (lines[i].kind == Line::Entry) at = i + 1;
        }
        lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at),
                     Line{keyName + "=" + value, Line::Entry, keyName, eol});
    }

    std::string output;
    output.reserve(contents.size() + keyName.size() + value.size() + sectionName.size() + 8);
    for (const Line &line : lines) {
        output += line.text;
        // A last line without an ending gets one: the file ends with a line
        // break, as the Windows functions leave it.
        output += line.end.empty() ? eol : line.end;
    }
    return replaceFile(target, output, mode);
}

} // namespace morvane

// The configuration file read and rewritten from arbitrary contents: never a
// crash, a write reported stored reads back as written, and a rewrite changes
// no other entry.
#include "config/Settings.h"
#include "FuzzInput.h"

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

using namespace morvane;

namespace {

std::string g_file;

// What reading gives for a value written as `value`: blanks around it go,
// and so does a pair of quotes around the rest; at most 10239 bytes.
Text expectedRead(const Text &value)
{
    std::size_t begin = 0, end = value.size();
    while (begin < end && (value[begin] == ' ' || value[begin] == '\t'))
        ++begin;
    while (end > begin && (value[end - 1] == ' ' || value[end - 1] == '\t'))
        --end;
    Text result = value.substr(begin, end - begin);
    if (result.size() >= 2 && (result.front() == '"' || result.front() == '\'') &&
        result.back() == result.front())
        result = result.substr(1, result.size() - 2);
    if (result.size() > 10239) result.resize(10239);
    return result;
}

void writeFile(const std::string &contents)
{
    std::ofstream(g_file, std::ios::binary | std::ios::trunc) << contents;
}

std::string g_directory;

void removeDirectory()
{
    std::system(("rm -rf '" + g_directory + "'").c_str());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    // tmpfs when there is one: every write syncs the file.
    char shm[] = "/dev/shm/morvane-fuzz-XXXXXX";
    char tmp[] = "/tmp/morvane-fuzz-XXXXXX";
    const char *directory = mkdtemp(shm);
    if (!directory) directory = mkdtemp(tmp);
    if (!directory) std::abort();
    g_directory = directory;
    std::atexit(removeDirectory);
    setRunDirectory(g_directory);
    mkdir((g_directory + "/data").c_str(), 0700);
    g_file = configPath();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const Text section = input.text();
    const Text key = input.text();
    const Text value = input.text();
    const Text otherSection = input.text();
    const Text otherKey = input.text();
    const std::string contents = input.rest();

    writeFile(contents);
    const Text before = readSetting(section, key);
    FUZZ_CHECK(before.size() <= 10239);
    const Text otherBefore = readSetting(otherSection, otherKey);
    if (writeSetting(section, key, value)) {
        FUZZ_CHECK(readSetting(section, key) == expectedRead(value));
        // Another entry keeps its value, unless it is the same one (names
        // match ignoring case and the blanks around them).
        const Text otherAfter = readSetting(otherSection, otherKey);
        if (otherAfter != otherBefore) FUZZ_CHECK(otherAfter == expectedRead(value));
        // A second write of the same value changes nothing.
        std::ifstream in(g_file, std::ios::binary);
        std::ostringstream once;
        once << in.rdbuf();
        FUZZ_CHECK(writeSetting(section, key, value));
        std::ifstream again(g_file, std::ios::binary);
        std::ostringstream twice;
        twice << again.rdbuf();
        FUZZ_CHECK(once.str() == twice.str());
    }
    return 0;
}

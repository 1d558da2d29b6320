// A result too large for memory is dropped whole, said so, and the
// connection stays usable. Runs in a child process with a capped address
// space, so the cap cannot hurt the other tests.
#include "DbTest.h"
#include "db/ResultTable.h"

#include <fstream>
#include <sys/resource.h>
#include <unistd.h>

using namespace morvane;
using namespace morvane::test;

#if defined(__SANITIZE_ADDRESS__)
#define MORVANE_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define MORVANE_ASAN 1
#endif
#endif

namespace {

// AddressSanitizer reserves terabytes of address space for its shadow
// memory, so a cap on the address space stops it rather than the fetch.
#ifdef MORVANE_ASAN
#define SKIP_UNDER_ASAN() GTEST_SKIP() << "an address-space cap cannot work under AddressSanitizer"
#else
#define SKIP_UNDER_ASAN() (void)0
#endif

long addressSpaceBytes()
{
    long pages = 0;
    std::ifstream("/proc/self/statm") >> pages;
    return pages * sysconf(_SC_PAGESIZE);
}

void fetchUnderACappedAddressSpace()
{
    const int connection = openConnection();
    const rlimit cap{rlim_t(addressSpaceBytes() + (96L << 20)), rlim_t(addressSpaceBytes() + (96L << 20))};
    setrlimit(RLIMIT_AS, &cap);
    // About 300 MB of rows, streamed: far more than the cap leaves.
    if (!execute(connection, "select repeat('x', 1000000) from mysql.seq_1_to_300")) _exit(10);
    ResultTable table;
    if (fetchResultTable(connection, table)) _exit(11);
    if (!fetchRanOutOfMemory(connection) || table.rowCount() != 0) _exit(12);
    if (queryValue(connection, "select 41 + 1") != "42") _exit(13);
    // The next fetch that succeeds clears the flag.
    execute(connection, "select 1");
    if (!fetchResultTable(connection, table) || fetchRanOutOfMemory(connection)) _exit(14);
    _exit(0);
}

// Rows nobody wants are read off the connection without being held.
void discardUnderACappedAddressSpace()
{
    const int connection = openConnection();
    const rlimit cap{rlim_t(addressSpaceBytes() + (96L << 20)), rlim_t(addressSpaceBytes() + (96L << 20))};
    setrlimit(RLIMIT_AS, &cap);
    if (!execute(connection, "select repeat('x', 1000000) from mysql.seq_1_to_300")) _exit(10);
    if (!discardResult(connection)) _exit(11);
    if (queryValue(connection, "select 41 + 1") != "42") _exit(12);
    // Nothing pending: nothing to discard.
    if (discardResult(connection) || discardResult(0)) _exit(13);
    _exit(0);
}

} // namespace

TEST(DiscardResultDeathTest, ATooLargeResultIsDroppedWithoutBeingHeld)
{
    SKIP_UNDER_ASAN();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(discardUnderACappedAddressSpace(), ::testing::ExitedWithCode(0), "");
}

TEST(FetchResultTableDeathTest, AResultTooLargeForMemoryIsDroppedAndTheConnectionStaysUsable)
{
    SKIP_UNDER_ASAN();
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(fetchUnderACappedAddressSpace(), ::testing::ExitedWithCode(0), "");
}

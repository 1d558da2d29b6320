#pragma once
// The only road to the server: a thin layer over MariaDB Connector/C that
// works with opaque handles. A zero, unknown or freed handle is "none" and
// every operation accepts it without effect. Nothing here shows UI, throws
// or logs; failures are return values, their texts come from lastError().
#include "text/Text.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

namespace morvane {

class ResultTable;

// Seconds a connection attempt waits for a server that does not answer:
// 20 unless changed (tests shorten it).
void setConnectTimeout(unsigned seconds);
unsigned connectTimeout();

// Every call below that waits on the server hands its blocking part to the
// round-trip waiter as `work`. The default runs it at once; a program with a
// window installs one that runs it on another thread and keeps the window
// alive meanwhile. Either way the call returns only after `work` ran, so
// callers see their results as before.
struct WaitInfo {
    // Connecting (threadId 0) or a statement on an open connection.
    bool connecting = false;
    // What runs: the statement as sent, or the server connected to.
    Text what;
    // The login, for the short second connection that cancels a statement.
    Text server;
    Text user;
    Text password;
    // The server's id of the connection the statement runs on.
    unsigned long threadId = 0;
    // The connection's socket, to break off a statement a server no longer
    // answers.
    int socket = -1;
    // Rows received so far while a result is read (updated as they come).
    std::shared_ptr<const std::atomic<std::uint64_t>> rowsReceived;
};
// Returns false only when it gave up waiting on a connect attempt (work then
// still runs to its end elsewhere and must not be waited for).
using RoundTripWaiter = bool (*)(const WaitInfo &info, const std::function<void()> &work);
void setRoundTripWaiter(RoundTripWaiter waiter);
// Asks the server, over a connection of its own with the same login, to end
// the statement described by `info`; blocks while it does. Safe from any
// thread.
bool cancelStatement(const WaitInfo &info);
// Breaks the connection of `info` off under a statement whose server no
// longer answers: the statement fails at once as a lost connection, and the
// next one reopens the connection. Safe from any thread.
void breakConnection(const WaitInfo &info);
// Why the last connect returned 0.
Text lastConnectError();

int connect(const Text &server, const Text &user, const Text &password);
// A connection the server dropped while idle is reopened by the next
// statement (GBK, and the default database the server last reported), which
// is then sent only when the lost session held nothing the fresh one lacks:
// no open transaction, no changed setting, variable, lock or temporary
// table. Otherwise the statement fails unsent and lastError says why.
bool execute(int connection, const Text &statement);
int storeResult(int connection);
std::uint64_t rowCount(int recordSet);
bool readField(int recordSet, const Text &columnName, Text &value);
bool readField(int recordSet, int columnIndex, Text &value);
bool nextRow(int recordSet);
void freeResult(int recordSet);
bool createDatabase(int connection, const Text &name);
bool dropDatabase(int connection, const Text &name);
bool selectDatabase(int connection, const Text &name);
bool lastError(int connection, Text &text);

// Takes every row of the statement that just ran into `table` in compact
// form, streaming them from the server; false (and `table` empty) when the
// last statement produced no rows or the transfer failed. A result too large
// for memory is dropped whole; fetchRanOutOfMemory() then says so.
bool fetchResultTable(int connection, ResultTable &table);
bool fetchRanOutOfMemory(int connection);
// Reads the rows of the statement that just ran off the connection and drops
// them one by one, holding none; false when there were none or the transfer
// failed.
bool discardResult(int connection);

// Rows matched by the last UPDATE (from the server's info line); -1 when
// the server did not say.
std::int64_t rowsMatched(int connection);

// A name as it may stand in a statement: unchanged when it is a plain
// identifier (GBK characters included, but not those whose second byte is
// ASCII punctuation), else in backquotes with inner backquotes doubled.
Text sqlName(const Text &name);
// sqlName, but an empty name stays empty: the statement reads as typed and
// the server reports what is missing.
Text sqlNameOrEmpty(const Text &name);
// database.table as it may stand in a statement, each part quoted where it
// needs it.
Text sqlQualifiedName(const Text &database, const Text &table);
// The value escaped for use between single quotes on this connection.
Text sqlValue(int connection, const Text &value);

} // namespace morvane

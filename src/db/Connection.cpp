#include "db/Connection.h"

#include "db/ReservedWords.h"
#include "db/ResultTable.h"
#include "text/Gbk.h"

#include <errmsg.h>
#include <mysql.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <new>
#include <string_view>
#include <sys/socket.h>
#include <unordered_map>
#include <vector>

namespace morvane {

namespace {

struct ConnectionEntry {
    MYSQL *mysql = nullptr;
    Text server;
    Text user;
    Text password;
    // Default database chosen through selectDatabase; a reopened connection
    // falls back to it when the server never reported one.
    Text database;
    // The server tells this session's default database and state changes
    // after each statement (asked for when the connection opened).
    bool tracking = false;
    // The default database the server last reported, "" for none; valid
    // while schemaKnown.
    Text schema;
    bool schemaKnown = false;
    // The reports were turned off by a statement: the database is unknown.
    bool schemaLost = false;
    // Since it opened, the session took on something a reopened one would
    // not have: a variable, a temporary table, a character set, autocommit.
    bool sessionChanged = false;
    // A statement returned rows that nobody has taken yet. The layer refuses
    // further statements itself: the client library, asked to send one,
    // would forget those rows, and the next storeResult must still get them.
    bool rowsPending = false;
    // An error found by the layer before anything was sent; it wins over the
    // library's text until the next statement goes out.
    Text ownError;
    // The last fetchResultTable gave up because memory ran out.
    bool fetchOutOfMemory = false;
    // The last statement sent, for what a waiter shows while rows arrive.
    Text statement;
    // A round trip on this connection is under way (its work may be running
    // on another thread): nothing else may use the connection meanwhile.
    bool busy = false;
    // Rows of the result being read, for the waiter to show.
    std::shared_ptr<std::atomic<std::uint64_t>> rowsReceived =
        std::make_shared<std::atomic<std::uint64_t>>(0);
};

struct RecordSetEntry {
    MYSQL_RES *result = nullptr;
    // One entry per row, taken once when the result is stored, so a field is
    // read without walking the rows.
    std::vector<MYSQL_ROW> rows;
    std::size_t cursor = 0;
};

// Handles of both kinds come from one counter and are never reused, so a
// freed handle, or one of the other kind, stays unknown.
int g_lastHandle = 0;
std::unordered_map<int, ConnectionEntry> g_connections;
std::unordered_map<int, RecordSetEntry> g_recordSets;

// The program never closes its connection; at exit everything still open is
// closed here (declared after the maps, so it runs before they go), and the
// server sees a clean quit.
struct CloseAllAtExit {
    ~CloseAllAtExit()
    {
        for (auto &[handle, recordSet] : g_recordSets)
            mysql_free_result(recordSet.result);
        g_recordSets.clear();
        for (auto &[handle, connection] : g_connections)
            mysql_close(connection.mysql);
        g_connections.clear();
    }
} g_closeAllAtExit;
unsigned g_connectTimeout = 20;
Text g_connectError;

bool runInline(const WaitInfo &, const std::function<void()> &work)
{
    work();
    return true;
}

RoundTripWaiter g_waiter = runInline;

int newHandle()
{
    do {
        g_lastHandle = g_lastHandle == INT_MAX ? 1 : g_lastHandle + 1;
    } while (g_connections.count(g_lastHandle) || g_recordSets.count(g_lastHandle));
    return g_lastHandle;
}

ConnectionEntry *findConnection(int handle)
{
    if (handle == 0) return nullptr;
    auto it = g_connections.find(handle);
    return it == g_connections.end() ? nullptr : &it->second;
}

RecordSetEntry *findRecordSet(int handle)
{
    if (handle == 0) return nullptr;
    auto it = g_recordSets.find(handle);
    return it == g_recordSets.end() ? nullptr : &it->second;
}

const char *orNull(const Text &text)
{
    return text.empty() ? nullptr : text.c_str();
}

// A new connection object set to GBK, with no automatic reconnect of the
// library's own (it would reopen without restoring anything).
MYSQL *openMysql(const Text &server, const Text &user, const Text &password, unsigned timeout,
                 Text *error = nullptr)
{
    MYSQL *mysql = mysql_init(nullptr);
    if (!mysql) {
        if (error) *error = "Out of memory";
        return nullptr;
    }
    my_bool reconnect = 0;
    mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(mysql, MYSQL_OPT_RECONNECT, &reconnect);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "gbk");
    if (!mysql_real_connect(mysql, orNull(server), orNull(user), orNull(password), nullptr, 0, nullptr, 0)) {
        if (error) *error = mysql_error(mysql);
        mysql_close(mysql);
        return nullptr;
    }
    return mysql;
}

// Asks the server to report the default database and any change of session
// state with every answer; false when it cannot.
bool requestTracking(MYSQL *mysql)
{
    static const char track[] = "set session session_track_schema=1, session_track_state_change=1";
    return mysql_real_query(mysql, track, sizeof track - 1) == 0;
}

// What every reopened session is told first.
constexpr std::string_view kSetNamesGbk = "set names gbk";

// The statement sets exactly what every reopened session gets anyway.
bool isSetNamesGbk(const Text &statement)
{
    std::size_t begin = 0;
    std::size_t end = statement.size();
    while (begin < end && std::isspace(static_cast<unsigned char>(statement[begin])))
        ++begin;
    while (end > begin && std::isspace(static_cast<unsigned char>(statement[end - 1])))
        --end;
    if (end - begin != kSetNamesGbk.size()) return false;
    for (std::size_t i = 0; i < end - begin; ++i) {
        if (std::tolower(static_cast<unsigned char>(statement[begin + i])) != kSetNamesGbk[i]) return false;
    }
    return true;
}

bool tracked(MYSQL *mysql, enum_session_state_type type, Text *value = nullptr)
{
    const char *data = nullptr;
    std::size_t length = 0;
    if (mysql_session_track_get_first(mysql, type, &data, &length) != 0) return false;
    if (value) value->assign(data ? data : "", data ? length : 0);
    return true;
}

// The next word of the statement from `i` on, in lower case.
Text nextWord(const Text &statement, std::size_t &i)
{
    while (i < statement.size() && std::isspace(static_cast<unsigned char>(statement[i])))
        ++i;
    Text word;
    while (i < statement.size() &&
           (std::isalnum(static_cast<unsigned char>(statement[i])) || statement[i] == '_'))
        word += char(std::tolower(static_cast<unsigned char>(statement[i++])));
    return word;
}

// The statement in lower case with its quoted texts and names blanked out,
// so words are looked for only where the server reads them as such.
Text outsideQuotes(const Text &statement)
{
    Text out;
    out.reserve(statement.size());
    for (std::size_t i = 0; i < statement.size();) {
        const char c = statement[i];
        if (c == '\'' || c == '"' || c == '`') {
            for (++i; i < statement.size();) {
                if (gbkCharLength(statement, i) == 2 || (statement[i] == '\\' && c != '`')) {
                    i += 2;
                } else if (statement[i] == c) {
                    ++i;
                    if (i >= statement.size() || statement[i] != c) break;
                    ++i;
                } else {
                    ++i;
                }
            }
            out += ' ';
            continue;
        }
        const std::size_t n = gbkCharLength(statement, i);
        for (std::size_t k = 0; k < n; ++k)
            out += char(std::tolower(static_cast<unsigned char>(statement[i + k])));
        i += n;
    }
    return out;
}

// What the server leaves out of its reports, judged by the statement's
// text (`bare`, from outsideQuotes): user variables (also set by "select
// ... into @v" and inside queries), named locks, table locks, open handlers,
// the next transaction's characteristics and whatever a procedure did.
bool mayChangeStateUnreported(const Text &bare)
{
    std::size_t i = 0;
    const Text first = nextWord(bare, i);
    if (first == "lock" || first == "handler" || first == "call") return true;
    if (first == "set" && nextWord(bare, i) == "transaction") return true;
    if (bare.find(":=") != Text::npos || bare.find("get_lock") != Text::npos) return true;
    for (std::size_t at = bare.find('@'); at != Text::npos; at = bare.find('@', at)) {
        if (at + 1 >= bare.size() || bare[at + 1] != '@') return true;
        at += 2; // a system variable: its changes are reported
    }
    return false;
}

// Takes note of what the server reported after a statement that answered
// with an OK packet (the reports of a result set's end are not read by the
// client library, and those of the statement before would still be shown).
void noteSessionReport(ConnectionEntry &entry, const Text &statement)
{
    if (!entry.tracking) {
        if (!isSetNamesGbk(statement)) entry.sessionChanged = true;
        return;
    }
    Text schema;
    const bool schemaChanged = tracked(entry.mysql, SESSION_TRACK_SCHEMA, &schema);
    if (schemaChanged) {
        entry.schema = schema;
        entry.schemaKnown = true;
    }
    if (isSetNamesGbk(statement)) return;
    // A change of the default database comes with a state change of its
    // own; the database is restored on reopening.
    if (tracked(entry.mysql, SESSION_TRACK_SYSTEM_VARIABLES) ||
        (tracked(entry.mysql, SESSION_TRACK_STATE_CHANGE) && !schemaChanged))
        entry.sessionChanged = true;
}

bool selectOn(MYSQL *mysql, const Text &name);

// The server dropped the connection before the statement got there: open it
// again with the same login, GBK and the default database the lost session
// had.
bool reopen(ConnectionEntry &entry)
{
    Text database = entry.database;
    if (entry.schemaLost) {
        database.clear();
    } else if (entry.schemaKnown) {
        database = entry.schema;
    } else {
        const char *current = nullptr;
        if (mariadb_get_infov(entry.mysql, MARIADB_CONNECTION_SCHEMA, &current) == 0 && current && *current)
            database = current;
    }

    MYSQL *fresh = openMysql(entry.server, entry.user, entry.password, g_connectTimeout);
    if (!fresh) return false;
    entry.tracking = requestTracking(fresh);
    mysql_real_query(fresh, kSetNamesGbk.data(), kSetNamesGbk.size());
    entry.schema.clear();
    entry.schemaKnown = entry.tracking;
    if (!database.empty() && selectOn(fresh, database)) entry.schema = database;
    entry.sessionChanged = false;
    entry.schemaLost = false;
    mysql_close(entry.mysql);
    entry.mysql = fresh;
    return true;
}

// The lost session held something a reopened one lacks: an open transaction
// or a changed setting.
bool sessionWouldDiffer(const ConnectionEntry &entry)
{
    return entry.sessionChanged ||
           (entry.mysql->server_status & (SERVER_STATUS_IN_TRANS | SERVER_STATUS_IN_TRANS_READONLY)) != 0;
}

// Runs `send` once more on a reopened connection when the first try found
// the server gone, unless the reopened session would differ from the lost
// one: then the connection is reopened for what comes next and this
// statement fails unsent. After "lost during the query" nothing is re-sent:
// the server may already have run the statement.
template <typename Send> bool sendWithReopen(ConnectionEntry &entry, Send send)
{
    // Judged before sending: a failed send may leave the status flags reset.
    const bool differs = sessionWouldDiffer(entry);
    if (send(entry.mysql)) return true;
    if (mysql_errno(entry.mysql) != CR_SERVER_GONE_ERROR) return false;
    if (!reopen(entry)) return false;
    if (differs) {
        entry.ownError = "与服务器的连接断开后已重连，本语句未执行；未提交的事务和会话设置已丢失"_gbk;
        return false;
    }
    return send(entry.mysql);
}

// Runs one statement (or command) unless rows are still pending.
template <typename Send> bool runStatement(ConnectionEntry &entry, Send send)
{
    if (entry.rowsPending) {
        // The client library's own words for this error (its table of texts
        // is not exported).
        entry.ownError = "Commands out of sync; you can't run this command now";
        return false;
    }
    entry.ownError.clear();
    return sendWithReopen(entry, send);
}

// A procedure call may answer with several results; only the first is
// taken, the rest are read and dropped so the connection stays usable.
void dropFurtherResults(MYSQL *mysql)
{
    while (mysql_more_results(mysql) && mysql_next_result(mysql) == 0) {
        if (MYSQL_RES *result = mysql_store_result(mysql)) mysql_free_result(result);
    }
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// The server's lexer reads these as numbers even though every byte could
// belong to a name: 1e5, 12E3x, 0x1F, 0b01.
bool looksLikeNumber(const Text &name)
{
    std::size_t i = 0;
    while (i < name.size() && isDigit(name[i]))
        ++i;
    if (i == 0) return false;
    if (i == name.size()) return true;
    if ((name[i] == 'e' || name[i] == 'E') && i + 1 < name.size() && isDigit(name[i + 1])) return true;
    if (name.size() > 2 && name[0] == '0' && i == 1) {
        const char kind = name[1];
        const char next = name[2];
        if (kind == 'x' && std::isxdigit(static_cast<unsigned char>(next))) return true;
        if (kind == 'b' && (next == '0' || next == '1')) return true;
    }
    return false;
}

// A GBK character whose second byte is ASCII punctuation (@ [ \ ] ^ _ ` { | } ~):
// the server refuses it in a bare name after a dot.
bool hasPunctuationTrail(const Text &name, std::size_t i)
{
    const unsigned char trail = static_cast<unsigned char>(name[i + 1]);
    return trail == 0x40 || (trail >= 0x5B && trail <= 0x60) || (trail >= 0x7B && trail <= 0x7E);
}

bool isPlainName(const Text &name)
{
    if (name.empty() || looksLikeNumber(name) || isReservedWord(name)) return false;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = gbkCharLength(name, i);
        const char c = name[i];
        const bool plain = (n == 2 && !hasPunctuationTrail(name, i)) || (c >= 'a' && c <= 'z') ||
                           (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '$';
        if (!plain) return false;
        i += n;
    }
    return true;
}

// Makes `name` the default database. The server's own command for it takes
// a GBK character whose second byte is a backquote for the end of a quoted
// name when more follows it, and finds no such database; a "use" statement
// with the name quoted reaches it.
bool selectOn(MYSQL *mysql, const Text &name)
{
    bool backquoteTrail = false;
    for (std::size_t i = 0; i < name.size() && !backquoteTrail;) {
        const std::size_t n = gbkCharLength(name, i);
        backquoteTrail = n == 2 && name[i + 1] == '`';
        i += n;
    }
    if (!backquoteTrail) return mysql_select_db(mysql, name.c_str()) == 0;
    const Text use = "use " + sqlName(name);
    return mysql_real_query(mysql, use.data(), use.size()) == 0;
}

// What the client library's escaping does for a GBK connection: the bytes of
// a double-byte character are copied as they are, so a second byte 0x5C is
// never escaped.
Text escapeGbk(const Text &value)
{
    Text out;
    out.reserve(value.size() + value.size() / 8 + 2);
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t n = gbkCharLength(value, i);
        if (n == 2) {
            out.append(value, i, 2);
            i += 2;
            continue;
        }
        // A lead byte without a valid second byte is escaped, so the server
        // cannot pair it with the backslash of a following escape.
        if (isGbkLead(static_cast<unsigned char>(value[i]))) {
            out += '\\';
            out += value[i++];
            continue;
        }
        switch (const char c = value[i++]) {
        case '\0':
            out += "\\0";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\'':
            out += "\\'";
            break;
        case '"':
            out += "\\\"";
            break;
        case '\x1a':
            out += "\\Z";
            break;
        default:
            out += c;
        }
    }
    return out;
}

bool executeOn(ConnectionEntry *entry, const Text &statement);

// Hands the blocking part of a call on `entry` to the waiter; false (and
// nothing done) while another round trip on it is under way.
bool roundTrip(ConnectionEntry &entry, const std::function<void()> &work)
{
    if (entry.busy) return false;
    WaitInfo info;
    info.what = entry.statement;
    info.server = entry.server;
    info.user = entry.user;
    info.password = entry.password;
    info.threadId = mysql_thread_id(entry.mysql);
    info.socket = int(mysql_get_socket(entry.mysql));
    entry.rowsReceived->store(0, std::memory_order_relaxed);
    info.rowsReceived = entry.rowsReceived;
    entry.busy = true;
    g_waiter(info, work);
    entry.busy = false;
    return true;
}

// What a connect attempt leaves for whoever still waits for it.
struct ConnectAttempt {
    std::mutex mutex;
    bool abandoned = false;
    MYSQL *mysql = nullptr;
    bool tracking = false;
    Text error;
};

} // namespace

void setRoundTripWaiter(RoundTripWaiter waiter)
{
    g_waiter = waiter ? waiter : runInline;
}

bool cancelStatement(const WaitInfo &info)
{
    if (info.connecting || info.threadId == 0) return false;
    MYSQL *mysql = openMysql(info.server, info.user, info.password, 5);
    if (!mysql) return false;
    const std::string kill = "kill query " + std::to_string(info.threadId);
    const bool ok = mysql_real_query(mysql, kill.data(), kill.size()) == 0;
    mysql_close(mysql);
    return ok;
}

void breakConnection(const WaitInfo &info)
{
    if (info.socket >= 0) ::shutdown(info.socket, SHUT_RDWR);
}

Text lastConnectError()
{
    return g_connectError;
}

void setConnectTimeout(unsigned seconds)
{
    g_connectTimeout = seconds;
}

unsigned connectTimeout()
{
    return g_connectTimeout;
}

int connect(const Text &server, const Text &user, const Text &password)
{
    WaitInfo info;
    info.connecting = true;
    info.what = server;
    info.server = server;
    info.user = user;
    info.password = password;
    // The attempt owns copies of everything it reads: a waiter may stop
    // waiting for it and let it finish on its own.
    auto attempt = std::make_shared<ConnectAttempt>();
    const unsigned timeout = g_connectTimeout;
    const bool waited = g_waiter(info, [attempt, server, user, password, timeout] {
        Text error;
        MYSQL *mysql = openMysql(server, user, password, timeout, &error);
        const bool tracking = mysql && requestTracking(mysql);
        std::lock_guard<std::mutex> lock(attempt->mutex);
        if (attempt->abandoned) {
            if (mysql) mysql_close(mysql);
            return;
        }
        attempt->mysql = mysql;
        attempt->tracking = tracking;
        attempt->error = error;
    });
    MYSQL *mysql = nullptr;
    {
        std::lock_guard<std::mutex> lock(attempt->mutex);
        attempt->abandoned = !waited;
        if (waited) {
            mysql = attempt->mysql;
            g_connectError = attempt->error;
        } else {
            g_connectError = "连接已取消"_gbk;
        }
    }
    if (!mysql) return 0;
    g_connectError.clear();
    const int handle = newHandle();
    ConnectionEntry entry;
    entry.mysql = mysql;
    entry.server = server;
    entry.user = user;
    entry.password = password;
    entry.tracking = attempt->tracking;
    entry.schemaKnown = entry.tracking;
    g_connections.emplace(handle, std::move(entry));
    return handle;
}

bool execute(int connection, const Text &statement)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || entry->busy) return false;
    entry->statement = statement;
    bool ok = false;
    roundTrip(*entry, [&] { ok = executeOn(entry, statement); });
    return ok;
}

namespace {

bool executeOn(ConnectionEntry *entry, const Text &statement)
{
    const bool ok = runStatement(*entry, [&](MYSQL *mysql) {
        return mysql_real_query(mysql, statement.data(), statement.size()) == 0;
    });
    if (ok) {
        entry->rowsPending = mysql_field_count(entry->mysql) > 0;
        const Text bare = outsideQuotes(statement);
        const bool reportsOff = bare.find("session_track") != Text::npos;
        if (reportsOff || mayChangeStateUnreported(bare)) entry->sessionChanged = true;
        if (reportsOff) {
            // The reports may be off from here on: the default database can
            // no longer be followed, so a reopened session starts with none
            // rather than a wrong one.
            entry->tracking = false;
            entry->schemaLost = true;
        }
        if (entry->rowsPending) {
            // The end of a result set carries no report of changed state.
            if (!entry->tracking) entry->sessionChanged = true;
        } else {
            noteSessionReport(*entry, statement);
            dropFurtherResults(entry->mysql);
        }
    }
    return ok;
}

} // namespace

int storeResult(int connection)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || !entry->rowsPending || entry->busy) return 0;
    entry->rowsPending = false;
    MYSQL_RES *result = nullptr;
    roundTrip(*entry, [&] {
        result = mysql_store_result(entry->mysql);
        if (result) dropFurtherResults(entry->mysql);
    });
    if (!result) return 0;
    RecordSetEntry recordSet;
    recordSet.result = result;
    recordSet.rows.reserve(static_cast<std::size_t>(mysql_num_rows(result)));
    while (MYSQL_ROW row = mysql_fetch_row(result))
        recordSet.rows.push_back(row);
    const int handle = newHandle();
    g_recordSets.emplace(handle, std::move(recordSet));
    return handle;
}

std::uint64_t rowCount(int recordSet)
{
    const RecordSetEntry *entry = findRecordSet(recordSet);
    return entry ? entry->rows.size() : 0;
}

namespace {

bool readCell(const RecordSetEntry &entry, unsigned column, Text &value)
{
    if (entry.rows.empty()) return false;
    // Past the last row, the last row is read.
    const std::size_t row = entry.cursor < entry.rows.size() ? entry.cursor : entry.rows.size() - 1;
    const char *field = entry.rows[row][column];
    // The stored row ends every field with a zero byte, so a value is read up
    // to its first zero byte; NULL reads as the empty text.
    value.assign(field ? field : "");
    return true;
}

} // namespace

bool readField(int recordSet, const Text &columnName, Text &value)
{
    const RecordSetEntry *entry = findRecordSet(recordSet);
    if (!entry) return false;
    const unsigned columns = mysql_num_fields(entry->result);
    const MYSQL_FIELD *fields = mysql_fetch_fields(entry->result);
    for (unsigned i = 0; i < columns; ++i) {
        if (fields[i].name_length == columnName.size() &&
            std::memcmp(fields[i].name, columnName.data(), columnName.size()) == 0)
            return readCell(*entry, i, value);
    }
    return false;
}

bool readField(int recordSet, int columnIndex, Text &value)
{
    const RecordSetEntry *entry = findRecordSet(recordSet);
    if (!entry || columnIndex < 0 || unsigned(columnIndex) >= mysql_num_fields(entry->result)) return false;
    return readCell(*entry, unsigned(columnIndex), value);
}

bool nextRow(int recordSet)
{
    RecordSetEntry *entry = findRecordSet(recordSet);
    if (!entry || entry->cursor >= entry->rows.size()) return false;
    ++entry->cursor;
    return true;
}

void freeResult(int recordSet)
{
    auto it = recordSet == 0 ? g_recordSets.end() : g_recordSets.find(recordSet);
    if (it == g_recordSets.end()) return;
    mysql_free_result(it->second.result);
    g_recordSets.erase(it);
}

bool createDatabase(int connection, const Text &name)
{
    return execute(connection, "create database " + name);
}

bool dropDatabase(int connection, const Text &name)
{
    return execute(connection, "drop database " + name);
}

bool selectDatabase(int connection, const Text &name)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || entry->busy) return false;
    entry->statement = "use " + sqlName(name);
    bool ok = false;
    roundTrip(*entry,
              [&] { ok = runStatement(*entry, [&](MYSQL *mysql) { return selectOn(mysql, name); }); });
    if (ok) {
        entry->database = name;
        entry->schema = name;
        entry->schemaKnown = true;
    }
    return ok;
}

bool lastError(int connection, Text &text)
{
    const ConnectionEntry *entry = findConnection(connection);
    if (!entry) return false;
    const char *error = entry->ownError.empty() ? mysql_error(entry->mysql) : entry->ownError.c_str();
    if (!error || !*error) return false;
    text = error;
    return true;
}

namespace {

bool fetchOn(ConnectionEntry *entry, ResultTable &table)
{
    entry->fetchOutOfMemory = false;
    if (!entry->rowsPending) return false;
    entry->rowsPending = false;
    MYSQL *mysql = entry->mysql;
    MYSQL_RES *result = mysql_use_result(mysql);
    if (!result) return false;
    bool ok = true;
    try {
        table.setColumnCount(int(mysql_num_fields(result)));
        std::uint64_t rows = 0;
        while (MYSQL_ROW row = mysql_fetch_row(result)) {
            table.appendRow(row, mysql_fetch_lengths(result));
            if ((++rows & 1023) == 0) entry->rowsReceived->store(rows, std::memory_order_relaxed);
        }
        // A transfer broken off midway ends the loop like the last row does.
        ok = mysql_errno(mysql) == 0;
    } catch (const std::bad_alloc &) {
        // Drop what was taken; freeing the result reads the rest off the
        // connection, so it stays usable.
        table.clear();
        entry->fetchOutOfMemory = true;
        entry->ownError = "Out of memory: the result is too large to hold";
        ok = false;
    }
    mysql_free_result(result);
    if (ok)
        dropFurtherResults(mysql);
    else
        table.setColumnCount(0);
    return ok;
}

bool discardOn(ConnectionEntry *entry)
{
    MYSQL_RES *result = mysql_use_result(entry->mysql);
    if (!result) return false;
    std::uint64_t rows = 0;
    while (mysql_fetch_row(result)) {
        if ((++rows & 1023) == 0) entry->rowsReceived->store(rows, std::memory_order_relaxed);
    }
    mysql_free_result(result);
    const bool ok = mysql_errno(entry->mysql) == 0;
    if (ok) dropFurtherResults(entry->mysql);
    return ok;
}

} // namespace

bool fetchResultTable(int connection, ResultTable &table)
{
    table.setColumnCount(0);
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || entry->busy) return false;
    bool ok = false;
    roundTrip(*entry, [&] { ok = fetchOn(entry, table); });
    return ok;
}

bool fetchRanOutOfMemory(int connection)
{
    const ConnectionEntry *entry = findConnection(connection);
    return entry && entry->fetchOutOfMemory;
}

bool discardResult(int connection)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || !entry->rowsPending || entry->busy) return false;
    entry->rowsPending = false;
    bool ok = false;
    roundTrip(*entry, [&] { ok = discardOn(entry); });
    return ok;
}

std::int64_t rowsMatched(int connection)
{
    const ConnectionEntry *entry = findConnection(connection);
    if (!entry) return -1;
    const char *info = mysql_info(entry->mysql);
    if (!info) return -1;
    static const char label[] = "Rows matched:";
    const char *at = std::strstr(info, label);
    if (!at) return -1;
    at += sizeof label - 1;
    while (*at == ' ')
        ++at;
    if (!isDigit(*at)) return -1;
    return std::strtoll(at, nullptr, 10);
}

Text sqlName(const Text &name)
{
    if (isPlainName(name)) return name;
    Text quoted;
    quoted.reserve(name.size() + 2);
    quoted += '`';
    bool loneLead = false;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = gbkCharLength(name, i);
        if (n == 1 && name[i] == '`') quoted += '`';
        loneLead = n == 1 && isGbkLead(static_cast<unsigned char>(name[i]));
        quoted.append(name, i, n);
        i += n;
    }
    // A lead byte left without its second byte at the end would take the
    // closing backquote as one; a blank keeps them apart (the server then
    // refuses the name as invalid GBK).
    if (loneLead) quoted += ' ';
    quoted += '`';
    return quoted;
}

Text sqlNameOrEmpty(const Text &name)
{
    return name.empty() ? name : sqlName(name);
}

Text sqlQualifiedName(const Text &database, const Text &table)
{
    return sqlNameOrEmpty(database) + "." + sqlNameOrEmpty(table);
}

Text sqlValue(int connection, const Text &value)
{
    const ConnectionEntry *entry = findConnection(connection);
    if (!entry) return escapeGbk(value);
    Text out(value.size() * 2 + 1, '\0');
    const unsigned long n = mysql_real_escape_string(entry->mysql, out.data(), value.data(), value.size());
    if (n == static_cast<unsigned long>(-1)) return escapeGbk(value);
    out.resize(n);
    return out;
}

} // namespace morvane

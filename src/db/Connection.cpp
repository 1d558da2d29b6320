#include "db/Connection.h"

#include "db/ReservedWords.h"
#include "db/ResultTable.h"

#include <errmsg.h>
#include <mysql.h>

#include <cctype>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <new>
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
    // A statement returned rows that nobody has taken yet. The layer refuses
    // further statements itself: the client library, asked to send one,
    // would forget those rows, and the next storeResult must still get them.
    bool rowsPending = false;
    // An error found by the layer before anything was sent; it wins over the
    // library's text until the next statement goes out.
    Text ownError;
    // The last fetchResultTable gave up because memory ran out.
    bool fetchOutOfMemory = false;
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
MYSQL *openMysql(const Text &server, const Text &user, const Text &password)
{
    MYSQL *mysql = mysql_init(nullptr);
    if (!mysql) return nullptr;
    unsigned timeout = g_connectTimeout;
    my_bool reconnect = 0;
    mysql_options(mysql, MYSQL_OPT_CONNECT_TIMEOUT, &timeout);
    mysql_options(mysql, MYSQL_OPT_RECONNECT, &reconnect);
    mysql_options(mysql, MYSQL_SET_CHARSET_NAME, "gbk");
    if (!mysql_real_connect(mysql, orNull(server), orNull(user), orNull(password), nullptr, 0, nullptr, 0)) {
        mysql_close(mysql);
        return nullptr;
    }
    return mysql;
}

// The server dropped the connection before the statement got there: open it
// again with the same login, GBK and the default database it had.
bool reopen(ConnectionEntry &entry)
{
    Text database = entry.database;
    const char *current = nullptr;
    if (mariadb_get_infov(entry.mysql, MARIADB_CONNECTION_SCHEMA, &current) == 0 && current && *current)
        database = current;

    MYSQL *fresh = openMysql(entry.server, entry.user, entry.password);
    if (!fresh) return false;
    static const char setNames[] = "set names gbk";
    mysql_real_query(fresh, setNames, sizeof setNames - 1);
    if (!database.empty()) mysql_select_db(fresh, database.c_str());
    mysql_close(entry.mysql);
    entry.mysql = fresh;
    return true;
}

// Runs `send` once more on a reopened connection when the first try found
// the server gone. After "lost during the query" nothing is re-sent: the
// server may already have run the statement.
template <typename Send> bool sendWithReopen(ConnectionEntry &entry, Send send)
{
    if (send(entry.mysql)) return true;
    if (mysql_errno(entry.mysql) != CR_SERVER_GONE_ERROR || !reopen(entry)) return false;
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

bool isGbkLead(unsigned char c)
{
    return c >= 0x81 && c <= 0xFE;
}
bool isGbkTrail(unsigned char c)
{
    return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFE);
}

// Length of the character at text[i]: 2 for a GBK double-byte character,
// else 1.
std::size_t charLength(const Text &text, std::size_t i)
{
    if (i + 1 < text.size() && isGbkLead(static_cast<unsigned char>(text[i])) &&
        isGbkTrail(static_cast<unsigned char>(text[i + 1])))
        return 2;
    return 1;
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

bool isPlainName(const Text &name)
{
    if (name.empty() || looksLikeNumber(name) || isReservedWord(name)) return false;
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = charLength(name, i);
        const char c = name[i];
        const bool plain =
            n == 2 || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || isDigit(c) || c == '_' || c == '$';
        if (!plain) return false;
        i += n;
    }
    return true;
}

// What the client library's escaping does for a GBK connection: the bytes of
// a double-byte character are copied as they are, so a second byte 0x5C is
// never escaped.
Text escapeGbk(const Text &value)
{
    Text out;
    out.reserve(value.size() + value.size() / 8 + 2);
    for (std::size_t i = 0; i < value.size();) {
        const std::size_t n = charLength(value, i);
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

} // namespace

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
    MYSQL *mysql = openMysql(server, user, password);
    if (!mysql) return 0;
    const int handle = newHandle();
    ConnectionEntry entry;
    entry.mysql = mysql;
    entry.server = server;
    entry.user = user;
    entry.password = password;
    g_connections.emplace(handle, std::move(entry));
    return handle;
}

bool execute(int connection, const Text &statement)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry) return false;
    const bool ok = runStatement(*entry, [&](MYSQL *mysql) {
        return mysql_real_query(mysql, statement.data(), statement.size()) == 0;
    });
    if (ok) {
        entry->rowsPending = mysql_field_count(entry->mysql) > 0;
        if (!entry->rowsPending) dropFurtherResults(entry->mysql);
    }
    return ok;
}

int storeResult(int connection)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || !entry->rowsPending) return 0;
    entry->rowsPending = false;
    MYSQL_RES *result = mysql_store_result(entry->mysql);
    if (!result) return 0;
    dropFurtherResults(entry->mysql);
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
    if (!entry) return false;
    const bool ok =
        runStatement(*entry, [&](MYSQL *mysql) { return mysql_select_db(mysql, name.c_str()) == 0; });
    if (ok) entry->database = name;
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

bool fetchResultTable(int connection, ResultTable &table)
{
    table.setColumnCount(0);
    ConnectionEntry *entry = findConnection(connection);
    if (!entry) return false;
    entry->fetchOutOfMemory = false;
    if (!entry->rowsPending) return false;
    entry->rowsPending = false;
    MYSQL *mysql = entry->mysql;
    MYSQL_RES *result = mysql_use_result(mysql);
    if (!result) return false;
    bool ok = true;
    try {
        table.setColumnCount(int(mysql_num_fields(result)));
        while (MYSQL_ROW row = mysql_fetch_row(result))
            table.appendRow(row, mysql_fetch_lengths(result));
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

bool fetchRanOutOfMemory(int connection)
{
    const ConnectionEntry *entry = findConnection(connection);
    return entry && entry->fetchOutOfMemory;
}

bool discardResult(int connection)
{
    ConnectionEntry *entry = findConnection(connection);
    if (!entry || !entry->rowsPending) return false;
    entry->rowsPending = false;
    MYSQL_RES *result = mysql_use_result(entry->mysql);
    if (!result) return false;
    // Freeing an unbuffered result reads the rest of its rows and drops them.
    mysql_free_result(result);
    const bool ok = mysql_errno(entry->mysql) == 0;
    if (ok) dropFurtherResults(entry->mysql);
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
    for (std::size_t i = 0; i < name.size();) {
        const std::size_t n = charLength(name, i);
        if (n == 1 && name[i] == '`') quoted += '`';
        quoted.append(name, i, n);
        i += n;
    }
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

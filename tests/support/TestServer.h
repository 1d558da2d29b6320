#pragma once
// Access to the sandbox server for fixtures: an admin connection (GBK) and
// scratch databases with unique names. A server that cannot be reached is a
// failure, never a skip.
#include <mysql.h>
#include <string>

namespace morvane::test {

// root over the sandbox socket, "set names gbk"; aborts the test program
// with a clear message when the server cannot be reached.
MYSQL *admin();
// Runs a statement (GBK bytes) on the admin connection; a refused statement
// is a test failure that names mysql_error() and mysql_errno().
bool adminExec(const std::string &statement);
// First column of the first row of a query on the admin connection.
std::string adminQueryValue(const std::string &statement);
// prefix_<pid>_<counter>: unique across test programs running at once.
std::string uniqueName(const std::string &prefix);

class ScratchDatabase {
public:
    explicit ScratchDatabase(const std::string &prefix = "t");
    ~ScratchDatabase();
    ScratchDatabase(const ScratchDatabase &) = delete;
    ScratchDatabase &operator=(const ScratchDatabase &) = delete;
    const std::string &name() const { return m_name; }

private:
    std::string m_name;
};

} // namespace morvane::test

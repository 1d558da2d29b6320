#include "support/TestServer.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

namespace morvane::test {

MYSQL *admin()
{
    static MYSQL *connection = [] {
        MYSQL *m = mysql_init(nullptr);
        mysql_options(m, MYSQL_SET_CHARSET_NAME, "gbk");
        if (!mysql_real_connect(m, nullptr, "root", nullptr, nullptr, 0, nullptr, 0)) {
            std::fprintf(stderr,
                         "FATAL: the sandbox server cannot be reached (%s, errno %u).\n"
                         "Run the tests through ctest (which starts it) or set MYSQL_UNIX_PORT.\n",
                         mysql_error(m), mysql_errno(m));
            std::exit(1);
        }
        return m;
    }();
    return connection;
}

bool adminExec(const std::string &statement)
{
    MYSQL *m = admin();
    if (mysql_real_query(m, statement.data(), statement.size()) != 0) {
        ADD_FAILURE() << "statement refused: " << statement << "\n  mysql_error: " << mysql_error(m)
                      << "\n  mysql_errno: " << mysql_errno(m);
        return false;
    }
    if (MYSQL_RES *res = mysql_store_result(m))
        mysql_free_result(res);
    return true;
}

std::string adminQueryValue(const std::string &statement)
{
    MYSQL *m = admin();
    if (mysql_real_query(m, statement.data(), statement.size()) != 0) {
        ADD_FAILURE() << "query refused: " << statement << "\n  mysql_error: " << mysql_error(m)
                      << "\n  mysql_errno: " << mysql_errno(m);
        return {};
    }
    std::string value;
    if (MYSQL_RES *res = mysql_store_result(m)) {
        if (MYSQL_ROW row = mysql_fetch_row(res); row && row[0])
            value.assign(row[0], mysql_fetch_lengths(res)[0]);
        mysql_free_result(res);
    }
    return value;
}

std::string uniqueName(const std::string &prefix)
{
    static std::atomic<int> counter{0};
    return prefix + "_" + std::to_string(getpid()) + "_" + std::to_string(++counter);
}

ScratchDatabase::ScratchDatabase(const std::string &prefix) : m_name(uniqueName(prefix))
{
    adminExec("create database " + m_name);
}

ScratchDatabase::~ScratchDatabase()
{
    adminExec("drop database if exists `" + m_name + "`");
}

} // namespace morvane::test

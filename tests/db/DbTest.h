#pragma once
// Helpers for the connection-layer tests: a connection opened the way the
// program opens one, and short ways to read one value or the error text.
#include "db/Connection.h"
#include "support/TestServer.h"

#include <gtest/gtest.h>

namespace morvane::test {

// connect("", "", "") reaches the sandbox as the login user; "set names gbk"
// follows, as the program's start-up does.
inline int openConnection(const Text &server = {})
{
    admin(); // ends the program with a clear message when there is no server
    const int connection = connect(server, {}, {});
    EXPECT_NE(connection, 0) << "the sandbox server cannot be reached through the connection layer";
    execute(connection, "set names gbk");
    return connection;
}

inline Text errorOf(int connection)
{
    Text text;
    lastError(connection, text);
    return text;
}

// First column of the first row, through the layer; a refusal is a failure.
inline Text queryValue(int connection, const Text &statement)
{
    if (!execute(connection, statement)) {
        ADD_FAILURE() << "refused: " << statement << "\n  " << errorOf(connection);
        return {};
    }
    const int rs = storeResult(connection);
    Text value;
    EXPECT_TRUE(readField(rs, 0, value)) << statement;
    freeResult(rs);
    return value;
}

inline void mustExecute(int connection, const Text &statement)
{
    EXPECT_TRUE(execute(connection, statement)) << statement << "\n  " << errorOf(connection);
}

} // namespace morvane::test

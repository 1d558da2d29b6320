#pragma once
// Words the server will not take as a bare name.
#include <string_view>

namespace morvane {

// Case-insensitive (ASCII); true for every reserved word of MariaDB 10.11,
// including those reserved only under sql_mode=ORACLE.
bool isReservedWord(std::string_view word);

} // namespace morvane

#pragma once
// The texts behind a cell edit, without widgets: how a cell's value stands
// in the console and what the console's text stands for afterwards, where
// the new value goes in an update template, and which rows an update names.
#include "mainwindow/AppState.h"
#include "text/Text.h"

#include <cstddef>
#include <string_view>
#include <vector>

namespace morvane {

// "[编辑框内容]" in GBK.
const Text &cellValuePlaceholder();

// The console shows at most this many bytes of a value.
constexpr std::size_t kConsoleValueLimit = std::size_t(1) << 20;
// A longer line is shown broken into pieces of this many characters: the
// console lays out a line as a whole, which takes seconds for a megabyte.
constexpr int kConsoleLineChars = 4096;

// The console's text for a cell's value.
ConsoleValue consoleValue(const Text &value);
// The value that the console's text `now` stands for, when `shown` was put
// there for `value`: the value's own bytes wherever the text is unchanged,
// the console's text where it was edited (with the value's line ends).
Text valueFromConsole(const Text &value, const ConsoleValue &shown, const Text &now);

// Offsets of the placeholders that stand as a whole single-quoted literal,
// '[编辑框内容]', outside names, other literals and comments.
std::vector<std::size_t> valuePlaceholders(const Text &statement);
// The statement with the placeholders at `at` replaced by `replacement`.
Text fillPlaceholders(const Text &statement, const std::vector<std::size_t> &at, const Text &replacement);

// For an update statement: the table reference between "update" and "set"
// and the condition after its "where" (empty when it has none). False for
// any other statement.
bool updateTarget(const Text &statement, Text &table, Text &where);

// Equal but for the case of ASCII letters.
bool sameAsciiFold(const Text &a, const Text &b);

// True for a column type whose values compare as numbers ("int(11)",
// "decimal(10,2)", "double unsigned").
bool isNumericColumnType(const Text &type);
// A decimal number as the server writes one: sign, digits, point, exponent.
bool isPlainNumber(const Text &text);

} // namespace morvane

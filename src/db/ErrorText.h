#pragma once
// Server error texts as the user sees them: English phrases (with their
// MariaDB wordings) turned into Chinese, everything else as the server sent it.
#include "text/Text.h"

namespace morvane {

Text translateServerError(const Text &text);
// The connection's last error text (empty when none), translated unless
// `translate` is false.
Text serverErrorText(int connection, bool translate = true);

} // namespace morvane

#pragma once

namespace morvane {

// Loads Qt's own Chinese texts (standard buttons such as 确定, 是, 否) into
// the running application. False when the translation file is missing.
bool installQtTranslation();

} // namespace morvane

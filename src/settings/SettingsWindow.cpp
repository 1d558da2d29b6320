#include "settings/SettingsWindow.h"

namespace morvane {
SettingsWindow::SettingsWindow(MainWindow &main) : m_main(main) {}
SettingsWindow::~SettingsWindow() = default;
} // namespace morvane

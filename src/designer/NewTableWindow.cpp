#include "designer/NewTableWindow.h"

namespace morvane {
NewTableWindow::NewTableWindow(MainWindow &main) : m_main(main) {}
NewTableWindow::~NewTableWindow() = default;
} // namespace morvane

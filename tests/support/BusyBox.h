#pragma once
// The box the program shows over a round trip that takes a while.
#include <QApplication>
#include <QWidget>

namespace morvane::test {

inline QWidget *findBusyBox()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("busyBox") && widget->isVisible()) return widget;
    }
    return nullptr;
}

} // namespace morvane::test

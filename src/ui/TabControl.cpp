#include "ui/TabControl.h"

#include <QStackedWidget>

namespace morvane {

TabControl::TabControl(QWidget *parent) : QTabWidget(parent) {}

QPoint TabControl::pageOffset() const
{
    // The pages fill the stacked widget, whose place is set as soon as the
    // control is laid out, shown or not.
    if (auto *stack = findChild<QStackedWidget *>(QString(), Qt::FindDirectChildrenOnly))
        return stack->geometry().topLeft();
    return {};
}

void TabControl::place(QWidget *control, int tab, const QRect &rect)
{
    if (QWidget *page = widget(tab))
        control->setParent(page);
    setDesignRect(control, rect);
}

void TabControl::setDesignRect(QWidget *control, const QRect &rect)
{
    m_design.insert(control, rect);
    control->setGeometry(rect.translated(-pageOffset()));
}

QRect TabControl::designRect(const QWidget *control) const
{
    return m_design.value(control);
}

void TabControl::reposition()
{
    const QPoint offset = pageOffset();
    for (auto it = m_design.cbegin(); it != m_design.cend(); ++it)
        const_cast<QWidget *>(it.key())->setGeometry(it.value().translated(-offset));
}

void TabControl::resizeEvent(QResizeEvent *event)
{
    QTabWidget::resizeEvent(event);
    reposition();
}

void TabControl::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event);
    reposition();
}

} // namespace morvane

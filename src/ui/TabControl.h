#pragma once
// A tab control whose pages share one coordinate space measured from the
// control's own top-left corner, tab headers included, as the designs give
// them. Controls are kept at their design rectangle minus where the page
// starts.
#include <QHash>
#include <QRect>
#include <QTabWidget>

namespace morvane {

class TabControl : public QTabWidget {
    Q_OBJECT
public:
    explicit TabControl(QWidget *parent = nullptr);

    // Puts `control` on page `tab` at `rect` in design coordinates.
    void place(QWidget *control, int tab, const QRect &rect);
    void setDesignRect(QWidget *control, const QRect &rect);
    QRect designRect(const QWidget *control) const;
    bool holds(const QWidget *control) const { return m_design.contains(control); }
    // Where the pages start inside the control.
    QPoint pageOffset() const;

    int currentTab() const { return currentIndex(); }
    void selectTab(int index) { setCurrentIndex(index); }

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void reposition();
    QHash<const QWidget *, QRect> m_design;
};

} // namespace morvane

#pragma once
// The tree of the widget contract: items are named by their depth-first
// index (top-level items in order, each followed by all its descendants).
// Each item remembers its index and its number of descendants; an insert or
// delete only marks the indexes behind it stale, and the next lookup of a
// stale index renumbers them in one walk, so adding many children in a row
// costs no walk at all.
#include "text/Text.h"

#include <QTreeWidget>
#include <vector>

namespace morvane {

class TreeView : public QTreeWidget {
    Q_OBJECT
public:
    explicit TreeView(QWidget *parent = nullptr);

    // The five 16x16 images: 0 grey database, 1 table, 2 blue database,
    // 3 computer, 4 gold database.
    static QIcon image(int index);

    // parent -1 (or no such item) gives a top-level item, else the parent's
    // last child. selectedImage -1 means the same as image.
    int treeAddItem(int parent, const Text &text, int image, int selectedImage = -1, int value = 0);
    int treeParent(int item) const;
    int treeCurrentItem() const;
    void treeSetCurrentItem(int item);
    Text treeItemText(int item) const;
    void treeSetItemText(int item, const Text &text);
    int treeItemValue(int item) const;
    void treeSetItemValue(int item, int value);
    int treeImage(int item) const;
    int treeSelectedImage(int item) const;
    void treeSetImage(int item, int image);
    void treeExpand(int item);
    bool treeIsExpanded(int item) const;
    void treeDeleteItem(int item);
    void treeClear();
    int treeItemCount() const;
    int treeChildCount(int item) const;
    // The rectangle of an item in viewport coordinates (for tests and menus).
    QRect treeItemRect(int item) const;

signals:
    void doubleClicked();
    // The right button was pressed over an item, which is now current.
    void rightPressed();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const override;

private:
    QTreeWidgetItem *itemAt(int index) const;
    int indexOf(const QTreeWidgetItem *item) const;
    void markStale(int from, int oldSize);
    void updateIcon(QTreeWidgetItem *item);

    std::vector<QTreeWidgetItem *> m_order;
    // Items before this have a correct index; the others get one on demand.
    mutable int m_staleFrom = 0;
};

} // namespace morvane

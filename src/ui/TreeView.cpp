#include "ui/TreeView.h"

#include "text/Gbk.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace morvane {

namespace {

enum Role { ValueRole = Qt::UserRole, ImageRole, SelectedImageRole };

// Items know their own depth-first index; keeping it outside the item data
// means renumbering sends no change notifications.
class FlatItem : public QTreeWidgetItem {
public:
    int flatIndex = 0;
    int descendants = 0;
};

FlatItem *flat(QTreeWidgetItem *item)
{
    return static_cast<FlatItem *>(item);
}

QPixmap drawCylinder(const QColor &body)
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(body.darker(170), 1));
    p.setBrush(body);
    QPainterPath path;
    path.moveTo(2.5, 3.5);
    path.lineTo(2.5, 12.5);
    path.arcTo(QRectF(2.5, 10.5, 11, 4), 180, 180);
    path.lineTo(13.5, 3.5);
    path.closeSubpath();
    p.drawPath(path);
    p.setBrush(body.lighter(135));
    p.drawEllipse(QRectF(2.5, 1.5, 11, 4));
    p.setPen(QPen(body.darker(140), 1));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(2.5, 6.5, 11, 4), 180 * 16, 180 * 16);
    return pix;
}

QPixmap drawTable()
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setPen(QColor(40, 80, 140));
    p.setBrush(Qt::white);
    p.drawRect(1, 2, 13, 11);
    p.fillRect(2, 3, 12, 3, QColor(90, 140, 210));
    for (int y : {6, 9})
        p.drawLine(1, y, 14, y);
    p.drawLine(6, 2, 6, 13);
    p.drawLine(10, 2, 10, 13);
    return pix;
}

QPixmap drawComputer()
{
    QPixmap pix(16, 16);
    pix.fill(Qt::transparent);
    QPainter p(&pix);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(1, 1, 13, 10);
    p.fillRect(3, 3, 10, 7, QColor(60, 120, 200));
    p.drawLine(7, 11, 7, 13);
    p.drawRect(3, 13, 9, 1);
    return pix;
}

} // namespace

TreeView::TreeView(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setRootIsDecorated(false);
    setIndentation(16);
    setExpandsOnDoubleClick(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    setIconSize(QSize(16, 16));
    setStyleSheet(QStringLiteral("QTreeWidget { color: black; background: white; }"));
}

QIcon TreeView::image(int index)
{
    static const QPixmap pictures[5] = {
        drawCylinder(QColor(150, 150, 150)), drawTable(), drawCylinder(QColor(70, 120, 215)),
        drawComputer(), drawCylinder(QColor(225, 180, 40)),
    };
    return index >= 0 && index < 5 ? QIcon(pictures[index]) : QIcon();
}

void TreeView::updateIcon(QTreeWidgetItem *item)
{
    const int normal = item->data(0, ImageRole).toInt();
    const int selected = item->data(0, SelectedImageRole).toInt();
    QIcon icon = image(normal);
    if (selected != normal)
        icon.addPixmap(image(selected).pixmap(16, 16), QIcon::Selected);
    item->setIcon(0, icon);
}

QTreeWidgetItem *TreeView::itemAt(int index) const
{
    return index >= 0 && index < int(m_order.size()) ? m_order[std::size_t(index)] : nullptr;
}

int TreeView::indexOf(const QTreeWidgetItem *item) const
{
    if (!item) return -1;
    // An index below the stale mark is right: items only move behind the
    // place of a change, and a moved item's old index is never below it.
    const int stored = static_cast<const FlatItem *>(item)->flatIndex;
    if (stored < m_staleFrom) return stored;
    for (int i = m_staleFrom; i < int(m_order.size()); ++i)
        flat(m_order[std::size_t(i)])->flatIndex = i;
    m_staleFrom = int(m_order.size());
    return static_cast<const FlatItem *>(item)->flatIndex;
}

void TreeView::markStale(int from, int oldSize)
{
    // A change at the very end moves nothing: what was right stays right.
    if (m_staleFrom >= oldSize && from >= oldSize)
        m_staleFrom = int(m_order.size());
    else
        m_staleFrom = std::min(m_staleFrom, from);
}

int TreeView::treeAddItem(int parent, const Text &text, int image, int selectedImage, int value)
{
    QTreeWidgetItem *parentItem = itemAt(parent);
    auto *item = new FlatItem;
    item->setText(0, fromGbk(text));
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    item->setData(0, ValueRole, value);
    item->setData(0, ImageRole, image);
    item->setData(0, SelectedImageRole, selectedImage < 0 ? image : selectedImage);
    updateIcon(item);

    const int oldSize = int(m_order.size());
    int position = oldSize;
    if (parentItem) {
        // Behind the parent's last descendant.
        position = indexOf(parentItem) + 1 + flat(parentItem)->descendants;
        for (QTreeWidgetItem *p = parentItem; p; p = p->parent())
            ++flat(p)->descendants;
        parentItem->addChild(item);
    } else {
        addTopLevelItem(item);
    }
    m_order.insert(m_order.begin() + position, item);
    item->flatIndex = position;
    markStale(position, oldSize);
    return position;
}

int TreeView::treeParent(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it && it->parent() ? indexOf(it->parent()) : -1;
}

int TreeView::treeCurrentItem() const
{
    return indexOf(currentItem());
}

void TreeView::treeSetCurrentItem(int item)
{
    if (QTreeWidgetItem *it = itemAt(item))
        setCurrentItem(it);
}

Text TreeView::treeItemText(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? toGbk(it->text(0)) : Text();
}

void TreeView::treeSetItemText(int item, const Text &text)
{
    if (QTreeWidgetItem *it = itemAt(item))
        it->setText(0, fromGbk(text));
}

int TreeView::treeItemValue(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? it->data(0, ValueRole).toInt() : 0;
}

void TreeView::treeSetItemValue(int item, int value)
{
    if (QTreeWidgetItem *it = itemAt(item))
        it->setData(0, ValueRole, value);
}

int TreeView::treeImage(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? it->data(0, ImageRole).toInt() : 0;
}

int TreeView::treeSelectedImage(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? it->data(0, SelectedImageRole).toInt() : 0;
}

void TreeView::treeSetImage(int item, int image)
{
    if (QTreeWidgetItem *it = itemAt(item)) {
        it->setData(0, ImageRole, image);
        updateIcon(it);
    }
}

void TreeView::treeExpand(int item)
{
    if (QTreeWidgetItem *it = itemAt(item))
        it->setExpanded(true);
}

bool TreeView::treeIsExpanded(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it && it->isExpanded();
}

void TreeView::treeDeleteItem(int item)
{
    QTreeWidgetItem *it = itemAt(item);
    if (!it)
        return;
    // Descendants follow the item directly.
    const int oldSize = int(m_order.size());
    const int count = 1 + flat(it)->descendants;
    for (QTreeWidgetItem *p = it->parent(); p; p = p->parent())
        flat(p)->descendants -= count;
    m_order.erase(m_order.begin() + item, m_order.begin() + item + count);
    delete it;
    markStale(item + count >= oldSize ? oldSize : item, oldSize);
}

void TreeView::treeClear()
{
    m_order.clear();
    m_staleFrom = 0;
    clear();
}

int TreeView::treeItemCount() const
{
    return int(m_order.size());
}

int TreeView::treeChildCount(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? it->childCount() : 0;
}

QRect TreeView::treeItemRect(int item) const
{
    const QTreeWidgetItem *it = itemAt(item);
    return it ? visualItemRect(it) : QRect();
}

void TreeView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        // The pressed item becomes current first; over empty space nothing happens.
        if (QTreeWidgetItem *item = QTreeWidget::itemAt(event->position().toPoint())) {
            setCurrentItem(item);
            emit rightPressed();
        }
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
}

void TreeView::drawBranches(QPainter *painter, const QRect &rect, const QModelIndex &index) const
{
    // Dotted lines join each item to its parent and siblings; there are no
    // expand buttons, and the top level has no lines.
    int depth = 0;
    for (QModelIndex p = index.parent(); p.isValid(); p = p.parent())
        ++depth;
    const int indent = indentation();
    const int midY = rect.top() + rect.height() / 2;
    painter->save();
    painter->setPen(QPen(QColor(128, 128, 128), 1, Qt::DotLine));
    QModelIndex at = index;
    for (int level = depth; level >= 1; --level, at = at.parent()) {
        const int x = rect.left() + (level - 1) * indent + indent / 2;
        const bool hasNext = at.sibling(at.row() + 1, 0).isValid();
        if (level == depth) {
            painter->drawLine(x, rect.top(), x, hasNext ? rect.bottom() : midY);
            painter->drawLine(x, midY, rect.left() + level * indent - 2, midY);
        } else if (hasNext) {
            painter->drawLine(x, rect.top(), x, rect.bottom());
        }
    }
    painter->restore();
}

void TreeView::mouseDoubleClickEvent(QMouseEvent *event)
{
    QTreeWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton)
        emit doubleClicked();
}

} // namespace morvane

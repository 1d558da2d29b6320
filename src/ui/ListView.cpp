#include "ui/ListView.h"

#include "db/ResultTable.h"
#include "ui/ListModel.h"

#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>
#include <QPalette>

#include <algorithm>

namespace morvane {

ListView::ListView(QWidget *parent) : QTableView(parent), m_model(new ListModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setShowGrid(true);
    setWordWrap(false);
    setSortingEnabled(false);
    setTabKeyNavigation(false);

    QHeaderView *header = horizontalHeader();
    header->setVisible(true);
    header->setSectionsClickable(true);
    header->setHighlightSections(false);
    header->setStretchLastSection(false);
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setMinimumSectionSize(0);
    header->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    connect(header, &QHeaderView::sectionClicked, this, &ListView::headerClicked);

    // Row heights never depend on contents: a million rows cost nothing here.
    QHeaderView *rows = verticalHeader();
    rows->setVisible(false);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->setMinimumSectionSize(1);

    // The selection stays visible when the list loses the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText,
               p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);

    m_defaultPointSize = font().pointSizeF();
    updateRowHeight();
}

ListView::~ListView() = default;

void ListView::updateRowHeight()
{
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
}

void ListView::setCheckBoxes(bool on)
{
    m_model->setCheckable(on);
}

int ListView::listAppendRow(const Text &text)
{
    return m_model->appendRow(text);
}

void ListView::listSetCell(int row, int column, const Text &text)
{
    m_model->setCell(row, column, text);
}

Text ListView::listCell(int row, int column) const
{
    return m_model->cell(row, column);
}

int ListView::listRowCount() const
{
    return m_model->rowCount();
}

void ListView::listClearRows()
{
    m_model->clearRows();
}

int ListView::listCurrentRow() const
{
    const QModelIndexList selected = selectionModel()->selectedRows();
    int first = -1;
    for (const QModelIndex &index : selected)
        if (first < 0 || index.row() < first) first = index.row();
    return first;
}

int ListView::listCheckState(int row) const
{
    return m_model->checkState(row);
}

void ListView::listSetCheckState(int row, int state)
{
    m_model->setCheckState(row, state);
}

void ListView::listAppendColumn(const Text &title, int width)
{
    m_model->appendColumn(title);
    listSetColumnWidth(m_model->columnCount() - 1, width);
}

void ListView::listDeleteColumn(int column)
{
    m_model->deleteColumn(column);
}

void ListView::listSetColumns(const std::vector<Text> &titles, const std::vector<int> &widths)
{
    m_model->setColumns(titles);
    QHeaderView *header = horizontalHeader();
    for (int k = 0; k < int(titles.size()); ++k)
        header->resizeSection(k, std::max(std::size_t(k) < widths.size() ? widths[std::size_t(k)] : 50, 0));
}

int ListView::listColumnCount() const
{
    return m_model->columnCount();
}

Text ListView::listColumnTitle(int column) const
{
    return m_model->columnTitle(column);
}

int ListView::listColumnWidth(int column) const
{
    if (column < 0 || column >= m_model->columnCount()) return 0;
    return horizontalHeader()->sectionSize(column);
}

void ListView::listSetColumnWidth(int column, int width)
{
    if (column < 0 || column >= m_model->columnCount()) return;
    horizontalHeader()->resizeSection(column, std::max(width, 0));
}

void ListView::listSetFontSize(int points)
{
    points = std::max(points, 0);
    m_fontSize = points;
    QFont f = font();
    // 0 asks for the toolkit's default height; face and style stay.
    if (points == 0)
        f.setPointSizeF(m_defaultPointSize > 0 ? m_defaultPointSize : QFont().pointSizeF());
    else
        f.setPointSize(points);
    setFont(f);
    updateRowHeight();
}

int ListView::listFontSize() const
{
    return m_fontSize;
}

void ListView::listCellAt(int x, int y, int &row, int &column) const
{
    row = rowAt(y);
    column = columnAt(x);
}

QPoint ListView::listCellCenter(int row, int column) const
{
    return visualRect(m_model->index(row, column)).center();
}

void ListView::listSetNumberedRows(ResultTable &&table)
{
    m_model->setNumberedRows(std::move(table));
}

void ListView::mousePressEvent(QMouseEvent *event)
{
    // Handlers see the press first; the list then handles it as usual.
    if (event->button() == Qt::LeftButton) {
        const QPoint at = event->position().toPoint();
        emit leftPressed(at.x(), at.y());
    }
    QTableView::mousePressEvent(event);
}

void ListView::mouseDoubleClickEvent(QMouseEvent *event)
{
    // By the time handlers run, the double-clicked row is selected.
    QTableView::mouseDoubleClickEvent(event);
    const QPoint at = event->position().toPoint();
    emit doubleClickedAt(at.x(), at.y());
}

} // namespace morvane

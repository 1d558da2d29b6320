#include "ui/ListModel.h"

#include "text/Gbk.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace morvane {

namespace {

// A cell shows its bytes up to the first zero byte, as a C string would.
std::string_view beforeZero(std::string_view bytes)
{
    // An empty cell (a NULL among them) may have no bytes at all to search.
    if (bytes.empty()) return bytes;
    if (const void *zero = std::memchr(bytes.data(), 0, bytes.size()))
        return bytes.substr(0, std::size_t(static_cast<const char *>(zero) - bytes.data()));
    return bytes;
}

// Painting lays a cell's whole text out to elide it, which takes seconds for
// a cell of megabytes: only its beginning is shown, cut at a character.
constexpr std::size_t kShownBytes = 1024;

QString shownText(std::string_view bytes)
{
    if (bytes.size() <= kShownBytes) return fromGbk(bytes);
    std::size_t end = 0;
    while (end < kShownBytes) {
        const std::size_t n = (static_cast<unsigned char>(bytes[end]) & 0x80) ? 2 : 1;
        if (end + n > kShownBytes) break;
        end += n;
    }
    return fromGbk(bytes.substr(0, end)) + QChar(0x2026);
}

} // namespace

ListModel::ListModel(QObject *parent) : QAbstractTableModel(parent) {}

ListModel::~ListModel() = default;

int ListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid()) return 0;
    return m_tableRows + int(m_rows.size());
}

int ListModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid()) return 0;
    return int(m_columns.size());
}

std::string_view ListModel::cellView(int row, int column, std::string &scratch) const
{
    return beforeZero(storedView(row, column, scratch));
}

std::string_view ListModel::storedView(int row, int column, std::string &scratch) const
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return {};
    if (row < m_tableRows) {
        const Column &col = m_columns[std::size_t(column)];
        if (!m_overlay.empty()) {
            auto it = m_overlay.find(overlayKey(row, col.id));
            if (it != m_overlay.end()) return it->second;
        }
        if (col.source == kRowNumber) {
            scratch = toText(row + 1);
            return scratch;
        }
        if (col.source == kNothing) return {};
        return m_table.cell(std::size_t(row), col.source);
    }
    const std::vector<Text> &cells = m_rows[std::size_t(row - m_tableRows)];
    if (std::size_t(column) >= cells.size()) return {};
    return cells[std::size_t(column)];
}

QVariant ListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid)) return {};
    if (role == Qt::DisplayRole || role == Qt::ToolTipRole) {
        std::string scratch;
        return shownText(cellView(index.row(), index.column(), scratch));
    }
    if (role == Qt::CheckStateRole && m_checkable && index.column() == 0)
        return checkState(index.row()) ? Qt::Checked : Qt::Unchecked;
    return {};
}

bool ListModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    // Only the check boxes change from the view; texts are not editable.
    if (role != Qt::CheckStateRole || !m_checkable || index.column() != 0 ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    setCheckState(index.row(), value.toInt() == Qt::Checked ? 1 : 0);
    return true;
}

QVariant ListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (section < 0 || section >= columnCount()) return {};
    return fromGbk(m_columns[std::size_t(section)].title);
}

Qt::ItemFlags ListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (m_checkable && index.column() == 0) f |= Qt::ItemIsUserCheckable;
    return f;
}

void ListModel::setCheckable(bool on)
{
    if (on == m_checkable) return;
    m_checkable = on;
    if (rowCount() > 0 && columnCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, 0), {Qt::CheckStateRole});
}

int ListModel::appendRow(const Text &text)
{
    const int row = rowCount();
    if (row == INT_MAX) return -1;
    beginInsertRows({}, row, row);
    m_rows.emplace_back();
    if (!text.empty()) m_rows.back().push_back(text);
    endInsertRows();
    return row;
}

void ListModel::setCell(int row, int column, const Text &text)
{
    if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount()) return;
    if (row < m_tableRows) {
        m_overlay[overlayKey(row, m_columns[std::size_t(column)].id)] = text;
    } else {
        std::vector<Text> &cells = m_rows[std::size_t(row - m_tableRows)];
        if (cells.size() <= std::size_t(column)) cells.resize(std::size_t(column) + 1);
        cells[std::size_t(column)] = text;
    }
    const QModelIndex at = index(row, column);
    emit dataChanged(at, at, {Qt::DisplayRole});
}

Text ListModel::cell(int row, int column) const
{
    std::string scratch;
    return Text(cellView(row, column, scratch));
}

bool ListModel::cellHoldsZero(int row, int column) const
{
    std::string scratch;
    return storedView(row, column, scratch).find('\0') != std::string_view::npos;
}

void ListModel::clearRows()
{
    if (rowCount() == 0) {
        m_table = ResultTable();
        m_overlay.clear();
        m_checks.clear();
        return;
    }
    beginResetModel();
    m_table = ResultTable();
    m_tableRows = 0;
    m_overlay.clear();
    std::vector<std::vector<Text>>().swap(m_rows);
    std::vector<std::uint8_t>().swap(m_checks);
    endResetModel();
}

int ListModel::checkState(int row) const
{
    if (row < 0 || std::size_t(row) >= m_checks.size()) return 0;
    return m_checks[std::size_t(row)];
}

void ListModel::setCheckState(int row, int state)
{
    if (row < 0 || row >= rowCount()) return;
    const std::uint8_t value = state == 1 ? 1 : 0;
    if (std::size_t(row) >= m_checks.size()) {
        if (!value) return;
        m_checks.resize(std::size_t(row) + 1, 0);
    }
    if (m_checks[std::size_t(row)] == value) return;
    m_checks[std::size_t(row)] = value;
    if (columnCount() > 0) {
        const QModelIndex at = index(row, 0);
        emit dataChanged(at, at, {Qt::CheckStateRole});
    }
}

void ListModel::appendColumn(const Text &title)
{
    const int column = columnCount();
    beginInsertColumns({}, column, column);
    // Rows that exist already have nothing in a new column.
    m_columns.push_back(Column{title, m_nextColumnId++, kNothing});
    endInsertColumns();
}

void ListModel::deleteColumn(int column)
{
    if (column < 0 || column >= columnCount()) return;
    beginRemoveColumns({}, column, column);
    const int id = m_columns[std::size_t(column)].id;
    m_columns.erase(m_columns.begin() + column);
    for (std::vector<Text> &cells : m_rows)
        if (std::size_t(column) < cells.size()) cells.erase(cells.begin() + column);
    std::erase_if(m_overlay,
                  [id](const auto &entry) { return std::uint32_t(entry.first) == std::uint32_t(id); });
    endRemoveColumns();
}

void ListModel::setColumns(const std::vector<Text> &titles)
{
    beginResetModel();
    m_columns.clear();
    m_columns.reserve(titles.size());
    for (const Text &title : titles)
        m_columns.push_back(Column{title, m_nextColumnId++, kNothing});
    for (std::vector<Text> &cells : m_rows)
        cells.clear();
    m_overlay.clear();
    endResetModel();
}

Text ListModel::columnTitle(int column) const
{
    if (column < 0 || column >= columnCount()) return {};
    return m_columns[std::size_t(column)].title;
}

void ListModel::setNumberedRows(ResultTable &&table)
{
    const std::size_t available = table.rowCount();
    const int rows = int(std::min<std::size_t>(available, std::size_t(INT_MAX)));
    const bool wasEmpty = rowCount() == 0;
    const auto take = [&] {
        m_table = std::move(table);
        m_tableRows = rows;
        m_overlay.clear();
        std::vector<std::vector<Text>>().swap(m_rows);
        std::vector<std::uint8_t>().swap(m_checks);
        for (std::size_t j = 0; j < m_columns.size(); ++j)
            m_columns[j].source = j == 0 ? int(kRowNumber) : int(j) - 1;
    };
    if (wasEmpty) {
        if (rows == 0) {
            take();
            return;
        }
        beginInsertRows({}, 0, rows - 1);
        take();
        endInsertRows();
    } else {
        beginResetModel();
        take();
        endResetModel();
    }
}

} // namespace morvane

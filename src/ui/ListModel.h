#pragma once
// The model behind ListView. Rows come in two kinds: rows added one by one
// (small lists), each a vector of GBK cells; and one numbered block taken
// whole from a ResultTable (the data grid), where column 0 is the row number
// computed on the fly and the other columns read the table's fields in
// place. Edits of numbered rows go to an overlay, so the block is never
// copied. Cells are converted to UTF-16 only in data(), which shows the
// first kilobyte of a longer cell; cell() always gives the whole text.
#include "db/ResultTable.h"
#include "text/Text.h"

#include <QAbstractTableModel>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace morvane {

class ListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ListModel(QObject *parent = nullptr);
    ~ListModel() override;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void setCheckable(bool on);
    bool checkable() const { return m_checkable; }

    int appendRow(const Text &text);
    void setCell(int row, int column, const Text &text);
    // The cell's bytes up to the first zero byte; empty when out of range.
    Text cell(int row, int column) const;
    // True when the stored bytes go on after a zero byte, so cell() is not
    // the whole value.
    bool cellHoldsZero(int row, int column) const;
    void clearRows();
    int checkState(int row) const;
    void setCheckState(int row, int state);

    void appendColumn(const Text &title);
    void deleteColumn(int column);
    // Replaces every column at once (one reset): rows stay, with nothing in
    // the new columns until the next fill.
    void setColumns(const std::vector<Text> &titles);
    Text columnTitle(int column) const;

    // Replaces all rows by a numbered view of `table` (one notification).
    void setNumberedRows(ResultTable &&table);
    const ResultTable &numberedTable() const { return m_table; }

private:
    // Where a column of a numbered row takes its text from.
    enum : int { kRowNumber = -1, kNothing = -2 };
    struct Column {
        Text title;
        int id;
        int source; // field index of the numbered table, or kRowNumber / kNothing
    };

    std::string_view cellView(int row, int column, std::string &scratch) const;
    // The cell's bytes as stored, zero bytes included.
    std::string_view storedView(int row, int column, std::string &scratch) const;
    static std::uint64_t overlayKey(int row, int columnId)
    {
        return (std::uint64_t(std::uint32_t(row)) << 32) | std::uint32_t(columnId);
    }

    std::vector<Column> m_columns;
    int m_nextColumnId = 0;
    bool m_checkable = false;

    ResultTable m_table; // rows 0 .. m_table.rowCount() - 1
    int m_tableRows = 0;
    std::unordered_map<std::uint64_t, Text> m_overlay;
    std::vector<std::vector<Text>> m_rows; // the rows after the numbered block
    std::vector<std::uint8_t> m_checks;    // grows on demand; missing = 0
};

} // namespace morvane

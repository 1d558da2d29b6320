#pragma once
// The report-style list of the widget contract, model/view underneath: cells
// are GBK bytes in the model and are converted only when shown. Column 0 is
// the row's main text; rows may carry a check box.
#include "text/Text.h"

#include <QTableView>
#include <vector>

namespace morvane {

class ListModel;
class ResultTable;

class ListView : public QTableView {
    Q_OBJECT
public:
    explicit ListView(QWidget *parent = nullptr);
    ~ListView() override;

    void setCheckBoxes(bool on);

    int listAppendRow(const Text &text = {});
    void listSetCell(int row, int column, const Text &text);
    Text listCell(int row, int column) const;
    int listRowCount() const;
    void listClearRows();
    int listCurrentRow() const;
    int listCheckState(int row) const;
    void listSetCheckState(int row, int state);

    void listAppendColumn(const Text &title, int width = 50);
    void listDeleteColumn(int column);
    // Replaces all columns by these, with these widths, in one update of the
    // header: the same as deleting every column and appending each.
    void listSetColumns(const std::vector<Text> &titles, const std::vector<int> &widths);
    int listColumnCount() const;
    Text listColumnTitle(int column) const;
    int listColumnWidth(int column) const;
    void listSetColumnWidth(int column, int width);
    void listSetFontSize(int points);
    int listFontSize() const;

    // Row (-1 when none) and column at a point of the list's client area.
    void listCellAt(int x, int y, int &row, int &column) const;
    // The centre of a cell in client (viewport) coordinates, for tests.
    QPoint listCellCenter(int row, int column) const;

    // Replaces all rows with a numbered view of `table`: cell (r, 0) shows
    // r + 1 and cell (r, j) field j - 1 of row r. One insert notification.
    void listSetNumberedRows(ResultTable &&table);

    ListModel *listModel() const { return m_model; }

signals:
    void headerClicked(int column);
    void leftPressed(int x, int y);
    void doubleClickedAt(int x, int y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void updateRowHeight();

    ListModel *m_model;
    int m_fontSize = 0;            // as last set; 0 = the toolkit's default
    double m_defaultPointSize = 0; // the font's size before any change
};

} // namespace morvane

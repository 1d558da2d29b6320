// The compact row store on its own: rows that cross chunk boundaries, rows
// larger than a chunk, NULLs and empty cells, and a refill after clearing.
#include "db/ResultTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace morvane;

namespace {

// Row r, column c: a length that varies widely, bytes that name the cell.
std::string cellText(std::size_t r, int c, std::size_t bigRow)
{
    if ((r + std::size_t(c)) % 7 == 3) return {}; // empty or NULL
    const std::size_t length =
        r == bigRow && c == 1 ? (std::size_t(9) << 20) : (r * 31 + std::size_t(c) * 17) % 300;
    std::string s(length, char('a' + (r + std::size_t(c)) % 26));
    const std::string tag = std::to_string(r) + ":" + std::to_string(c);
    s.replace(0, std::min(tag.size(), s.size()), tag.substr(0, std::min(tag.size(), s.size())));
    return s;
}

void fill(ResultTable &table, int columns, std::size_t rows, std::size_t bigRow)
{
    table.setColumnCount(columns);
    std::vector<std::string> cells(static_cast<std::size_t>(columns));
    std::vector<const char *> fields(static_cast<std::size_t>(columns));
    std::vector<unsigned long> lengths(static_cast<std::size_t>(columns));
    for (std::size_t r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            cells[std::size_t(c)] = cellText(r, c, bigRow);
            const bool null = cells[std::size_t(c)].empty() && c % 2 == 0;
            fields[std::size_t(c)] = null ? nullptr : cells[std::size_t(c)].data();
            lengths[std::size_t(c)] = null ? 0 : cells[std::size_t(c)].size();
        }
        table.appendRow(fields.data(), lengths.data());
    }
}

void expectCells(const ResultTable &table, int columns, std::size_t rows, std::size_t bigRow)
{
    ASSERT_EQ(table.rowCount(), rows);
    std::size_t payload = 0;
    for (std::size_t r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c) {
            const std::string expected = cellText(r, c, bigRow);
            payload += expected.size();
            ASSERT_EQ(table.cell(r, c), expected) << r << "," << c;
        }
    EXPECT_EQ(table.payloadBytes(), payload);
    EXPECT_EQ(table.cell(rows, 0), "");
    EXPECT_EQ(table.cell(0, columns), "");
}

} // namespace

TEST(ResultTable, CellsSurviveChunkBoundariesAndRefills)
{
    const struct {
        int columns;
        std::size_t rows;
        std::size_t bigRow; // a row of 9 MB, beyond any chunk; rows = none
    } cases[] = {{3, 1, 5}, {10, 100, 100}, {10, 10000, 100000}, {4, 3000, 1500}, {1, 500, 0}};
    ResultTable table;
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.columns) + "x" + std::to_string(c.rows));
        // The same table refilled: kept space must not leak old cells.
        fill(table, c.columns, c.rows, c.bigRow);
        expectCells(table, c.columns, c.rows, c.bigRow);
        ResultTable fresh;
        fill(fresh, c.columns, c.rows, c.bigRow);
        expectCells(fresh, c.columns, c.rows, c.bigRow);
    }
    table.clear();
    EXPECT_EQ(table.rowCount(), 0u);
    EXPECT_EQ(table.payloadBytes(), 0u);
}

TEST(ResultTable, SmallAnswersTakeLittleSpaceAndBigOnesLittleSlack)
{
    // A hundred rows must not cost a block of megabytes each time.
    ResultTable small;
    fill(small, 10, 100, 1000);
    const std::size_t smallUsed = small.payloadBytes() + 100 * (10 * 4 + 8);
    EXPECT_LT(small.allocatedBytes(), 2 * smallUsed + (std::size_t(64) << 10));

    ResultTable big;
    fill(big, 10, 10000, 100000);
    const std::size_t used = big.payloadBytes() + 10000 * (10 * 4 + 8);
    EXPECT_LT(big.allocatedBytes(), used + used / 2 + (std::size_t(4) << 20));
}

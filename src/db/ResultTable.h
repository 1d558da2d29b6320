#pragma once
// The rows of one answer held compactly as GBK bytes: each row is one block
// of [cell end offsets][cell bytes] inside large chunks, plus one pointer per
// row. A NULL reads as an empty cell. Nothing is converted here; the grid
// converts only the cells it paints.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

namespace morvane {

class ResultTable {
public:
    ResultTable() = default;
    ResultTable(ResultTable &&) noexcept = default;
    ResultTable &operator=(ResultTable &&) noexcept = default;

    void clear();
    void setColumnCount(int columns);
    int columnCount() const { return m_columns; }
    std::size_t rowCount() const { return m_rows.size(); }

    // fields[i] may be null (SQL NULL); lengths[i] is its byte count.
    void appendRow(const char *const *fields, const unsigned long *lengths);
    // Empty for NULL, an out-of-range row or column.
    std::string_view cell(std::size_t row, int column) const;

    // Bytes of cell contents held (what the server sent, without framing).
    std::size_t payloadBytes() const { return m_payload; }
    // Bytes this table has allocated for rows, offsets and the row index.
    std::size_t allocatedBytes() const;

private:
    char *reserve(std::size_t bytes);

    int m_columns = 0;
    std::vector<std::unique_ptr<char[]>> m_chunks;
    std::vector<std::size_t> m_chunkSizes;
    std::size_t m_chunkUsed = 0;
    std::vector<const char *> m_rows;
    std::size_t m_payload = 0;
};

} // namespace morvane

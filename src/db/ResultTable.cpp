#include "db/ResultTable.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>

namespace morvane {

namespace {
// Chunks start small, so a short answer touches a few pages only, and double
// up to a cap, so a big one needs few allocations and wastes at most one
// chunk's slack.
constexpr std::size_t kFirstChunk = std::size_t(16) << 10;
constexpr std::size_t kLargestChunk = std::size_t(4) << 20;

// Maps the pages of a new large chunk in one call: taking them one page
// fault at a time, as the rows are copied in, costs more than the copying.
// Where the kernel cannot, the pages simply fault in as before.
void prefault(char *chunk, std::size_t size)
{
#ifdef MADV_POPULATE_WRITE
    if (size < (std::size_t(256) << 10)) return;
    const auto page = std::uintptr_t(sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (std::uintptr_t(chunk) + page - 1) & ~(page - 1);
    const std::uintptr_t end = (std::uintptr_t(chunk) + size) & ~(page - 1);
    if (end > begin) madvise(reinterpret_cast<void *>(begin), end - begin, MADV_POPULATE_WRITE);
#else
    (void)chunk;
    (void)size;
#endif
}
} // namespace

void ResultTable::clear()
{
    // A small first chunk stays for the next fill of this table; the rest
    // goes back at once (a fill that ran out of memory clears too).
    const std::size_t keep = !m_chunks.empty() && m_chunkSizes.front() <= kFirstChunk ? 1 : 0;
    m_chunks.resize(keep);
    m_chunkSizes.resize(keep);
    m_chunkUsed = 0;
    std::vector<const char *>().swap(m_rows);
    m_payload = 0;
}

void ResultTable::setColumnCount(int columns)
{
    clear();
    m_columns = std::max(columns, 0);
}

char *ResultTable::reserve(std::size_t bytes)
{
    // Offsets at the start of a row block must stay aligned.
    bytes = (bytes + 3) & ~std::size_t(3);
    if (m_chunks.empty() || m_chunkUsed + bytes > m_chunkSizes.back()) {
        const std::size_t next =
            m_chunks.empty() ? kFirstChunk : std::min(m_chunkSizes.back() * 2, kLargestChunk);
        const std::size_t size = std::max(next, bytes);
        // Not zero-filled: every byte handed out is written before it is read.
        m_chunks.push_back(std::make_unique_for_overwrite<char[]>(size));
        prefault(m_chunks.back().get(), size);
        m_chunkSizes.push_back(size);
        m_chunkUsed = 0;
    }
    char *p = m_chunks.back().get() + m_chunkUsed;
    m_chunkUsed += bytes;
    return p;
}

void ResultTable::appendRow(const char *const *fields, const unsigned long *lengths)
{
    std::size_t dataBytes = 0;
    for (int i = 0; i < m_columns; ++i)
        dataBytes += fields[i] ? lengths[i] : 0;
    const std::size_t head = sizeof(std::uint32_t) * std::size_t(m_columns);
    char *block = reserve(head + dataBytes);
    auto *ends = reinterpret_cast<std::uint32_t *>(block);
    char *out = block + head;
    std::uint32_t end = 0;
    for (int i = 0; i < m_columns; ++i) {
        if (fields[i] && lengths[i]) {
            std::memcpy(out + end, fields[i], lengths[i]);
            end += std::uint32_t(lengths[i]);
        }
        ends[i] = end;
    }
    m_payload += dataBytes;
    m_rows.push_back(block);
}

std::string_view ResultTable::cell(std::size_t row, int column) const
{
    if (row >= m_rows.size() || column < 0 || column >= m_columns)
        return {};
    const char *block = m_rows[row];
    const auto *ends = reinterpret_cast<const std::uint32_t *>(block);
    const std::uint32_t start = column == 0 ? 0 : ends[column - 1];
    const char *data = block + sizeof(std::uint32_t) * std::size_t(m_columns);
    return std::string_view(data + start, ends[column] - start);
}

std::size_t ResultTable::allocatedBytes() const
{
    std::size_t total = m_rows.capacity() * sizeof(const char *);
    for (std::size_t size : m_chunkSizes)
        total += size;
    return total;
}

} // namespace morvane

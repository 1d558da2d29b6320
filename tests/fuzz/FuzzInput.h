#pragma once
// Cuts a fuzzer's input into the arguments of one call: pieces separated by
// a zero byte (texts never hold one), and small integers from single bytes.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace morvane::fuzz {

class Input {
public:
    Input(const std::uint8_t *data, std::size_t size)
        : m_data(reinterpret_cast<const char *>(data)), m_size(size)
    {
    }

    std::string text()
    {
        std::size_t begin = m_at;
        while (m_at < m_size && m_data[m_at] != '\0')
            ++m_at;
        std::string piece(m_data + begin, m_at - begin);
        if (m_at < m_size) ++m_at;
        return piece;
    }
    // -8 .. 247, so the edges (0, negative, past the end) come up often.
    int number() { return m_at < m_size ? int(static_cast<unsigned char>(m_data[m_at++])) - 8 : 0; }
    bool flag() { return number() & 1; }
    std::string rest()
    {
        std::string piece(m_data + m_at, m_size - m_at);
        m_at = m_size;
        return piece;
    }

private:
    const char *m_data;
    std::size_t m_size;
    std::size_t m_at = 0;
};

} // namespace morvane::fuzz

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "check failed: %s (%s:%d)\n", #condition, __FILE__, __LINE__);              \
            __builtin_trap();                                                                                \
        }                                                                                                    \
    } while (0)

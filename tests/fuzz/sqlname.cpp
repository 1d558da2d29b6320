// sqlName on arbitrary bytes: a name either stands bare or is closed in
// backquotes that no byte of it can end early.
#include "FuzzInput.h"
#include "db/Connection.h"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const Text name = input.text();
    const Text quoted = sqlName(name);
    if (quoted == name) {
        // Bare: nothing in it could end or start a quoted name.
        FUZZ_CHECK(quoted.find('`') == Text::npos);
        return 0;
    }
    FUZZ_CHECK(quoted.size() >= 2 && quoted.front() == '`' && quoted.back() == '`');
    // Read it back as the server does: GBK characters, "``" for a backquote,
    // and the name ends at the first lone backquote, which must be the last
    // byte.
    Text read;
    std::size_t i = 1;
    for (;;) {
        FUZZ_CHECK(i < quoted.size());
        const unsigned char c = static_cast<unsigned char>(quoted[i]);
        if (c >= 0x81 && c <= 0xFE && i + 1 < quoted.size()) {
            const unsigned char t = static_cast<unsigned char>(quoted[i + 1]);
            if (t >= 0x40 && t <= 0xFE && t != 0x7F) {
                read.append(quoted, i, 2);
                i += 2;
                continue;
            }
        }
        if (c == '`') {
            if (i + 1 < quoted.size() && quoted[i + 1] == '`') {
                read += '`';
                i += 2;
                continue;
            }
            break;
        }
        read += char(c);
        ++i;
    }
    FUZZ_CHECK(i == quoted.size() - 1);
    FUZZ_CHECK(read == name);
    if (!name.empty()) FUZZ_CHECK(sqlQualifiedName(name, name) == quoted + "." + quoted);
    return 0;
}

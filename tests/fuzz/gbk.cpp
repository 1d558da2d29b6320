// GBK <-> UTF-16 on arbitrary bytes: never a crash; bytes that decode
// without a replacement character encode back to themselves.
#include "text/Gbk.h"
#include "FuzzInput.h"

using namespace morvane;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const QString decoded = fromGbk(bytes);
    const Text encoded = toGbk(decoded);
    if (!decoded.contains(QChar(0xFFFD))) FUZZ_CHECK(encoded == bytes);

    const std::string utf8 = gbkToUtf8(bytes);
    FUZZ_CHECK(QString::fromUtf8(utf8.data(), qsizetype(utf8.size())) == decoded);
    // Bytes read as UTF-8: whatever GBK cannot hold becomes '?', never lost.
    const Text fromUtf8 = utf8ToGbk(bytes);
    FUZZ_CHECK(fromUtf8.size() <= 2 * size + 1);
    return 0;
}

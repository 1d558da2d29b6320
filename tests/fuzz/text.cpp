// Text operations on arbitrary bytes: never a crash, and the results keep
// the properties their callers rely on.
#include "text/Text.h"
#include "FuzzInput.h"

using namespace morvane;

namespace {

bool isLead(char c)
{
    return static_cast<unsigned char>(c) >= 0x80;
}

// Whether `at` is where a character begins when `text` is walked from `from`.
bool characterBeginsAt(const Text &text, std::size_t from, std::size_t at)
{
    std::size_t p = from;
    while (p < at)
        p += (isLead(text[p]) && p + 1 < text.size()) ? 2 : 1;
    return p == at;
}

bool sameIgnoringAsciiCase(const Text &a, const Text &b)
{
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto fold = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + 32) : c; };
        if (fold(a[i]) != fold(b[i])) return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    fuzz::Input input(data, size);
    const Text text = input.text();
    const Text sub = input.text();
    const Text replacement = input.text();
    const int n = input.number();
    const int start = input.number();
    const bool caseInsensitive = input.flag();

    const int found = findText(text, sub, start, caseInsensitive);
    if (found != -1) {
        const std::size_t at = std::size_t(found - 1);
        const std::size_t from = start < 1 ? 0 : std::size_t(start - 1);
        FUZZ_CHECK(found >= 1 && at >= from && at + sub.size() <= text.size());
        FUZZ_CHECK(characterBeginsAt(text, from, at));
        const Text matched = text.substr(at, sub.size());
        FUZZ_CHECK(caseInsensitive ? sameIgnoringAsciiCase(matched, sub) : matched == sub);
    }

    FUZZ_CHECK(replaceText(text, sub, sub) == text);
    FUZZ_CHECK(replaceText(text, sub, sub, n) == text);
    const Text removed = replaceText(text, sub, "", n);
    FUZZ_CHECK(removed.size() <= text.size());
    (void)replaceText(text, sub, replacement, n);

    const std::vector<Text> pieces = splitText(text, sub);
    Text joined;
    for (std::size_t i = 0; i < pieces.size(); ++i)
        joined += (i ? sub : Text()) + pieces[i];
    FUZZ_CHECK(text.empty() ? pieces.empty() : (joined == text || joined + sub == text));

    FUZZ_CHECK(leftText(text, n) == text.substr(0, n <= 0 ? 0 : std::size_t(n)));
    FUZZ_CHECK(rightText(text, n).size() == (n <= 0 ? 0 : std::min(text.size(), std::size_t(n))));
    const Text middle = midText(text, start, n);
    FUZZ_CHECK(middle.empty() || text.find(middle) != Text::npos);

    const Text before = textBefore(text, sub);
    FUZZ_CHECK(text.compare(0, before.size(), before) == 0);

    const Text trimmed = trimMarker(text, sub);
    FUZZ_CHECK(trimmed.size() + 2 >= text.size() && trimmed.size() <= text.size());
    FUZZ_CHECK(text.find(trimmed) != Text::npos);

    const Text between = textBetween(text, sub, replacement, caseInsensitive);
    FUZZ_CHECK(between.empty() || text.find(between) != Text::npos);

    const double number = toNumber(text);
    (void)toText(number);
    (void)toText(truncateToInt(number));
    return 0;
}

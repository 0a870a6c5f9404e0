// The code-page helpers on arbitrary bytes in CP932 and UTF-8: no read out
// of bounds, and every result agrees with the character boundaries.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "text/CodePage.h"

using namespace kestro;
using kestro::fuzz::characterStarts;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());

    const std::string needle = in.ConsumeRandomLengthString(16);
    const std::string bytes = in.ConsumeRandomLengthString(4);
    const std::size_t from = in.ConsumeIntegralInRange<std::size_t>(0, 4200);
    const std::size_t maxBytes = in.ConsumeIntegralInRange<std::size_t>(0, 4200);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::string starts = characterStarts(cp, text);
    const auto isStart = [&](std::size_t pos) { return pos <= text.size() && starts[pos] != 0; };

    // findText: the first match at or after `from` that starts and ends on a
    // character boundary.
    const std::size_t found = findText(cp, text, needle, from);
    std::size_t expected = std::string::npos;
    for (std::size_t pos = from; pos + needle.size() <= text.size(); ++pos) {
        if (isStart(pos) && isStart(pos + needle.size()) && text.compare(pos, needle.size(), needle) == 0) {
            expected = pos;
            break;
        }
    }
    FUZZ_CHECK(found == expected);
    FUZZ_CHECK(containsText(cp, text, needle) == (findText(cp, text, needle) != std::string::npos));
    // In UTF-8 an ASCII byte never sits inside a character, so an ASCII
    // needle is found exactly where a plain byte search finds it.
    if (cp == CodePage::Utf8 && !needle.empty() && kestro::fuzz::isAscii(needle)) {
        FUZZ_CHECK(found == (from <= text.size() ? text.find(needle, from) : std::string::npos));
    }

    // findLastOf / findFirstOf: only character starts count.
    std::size_t last = std::string::npos;
    std::size_t first = std::string::npos;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (!isStart(pos) || bytes.find(text[pos]) == std::string::npos) continue;
        last = pos;
        if (first == std::string::npos && pos >= from) first = pos;
    }
    FUZZ_CHECK(findLastOf(cp, text, bytes) == last);
    FUZZ_CHECK(findFirstOf(cp, text, bytes, from) == first);

    // cutToBytes: the longest prefix within the limit that ends on a boundary.
    const std::string cut = cutToBytes(cp, text, maxBytes);
    if (text.size() <= maxBytes) {
        FUZZ_CHECK(cut == text);
    } else {
        FUZZ_CHECK(cut.size() <= maxBytes);
        FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0);
        FUZZ_CHECK(isStart(cut.size()));
        for (std::size_t pos = cut.size() + 1; pos <= maxBytes; ++pos) FUZZ_CHECK(!isStart(pos));
    }

    // foldAsciiCase: only single-byte capitals that start a character change.
    const std::string folded = foldAsciiCase(cp, text);
    FUZZ_CHECK(folded.size() == text.size());
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        const bool singleCapital =
            c >= 'A' && c <= 'Z' && isStart(pos) && isStart(pos + 1);
        FUZZ_CHECK(folded[pos] == (singleCapital ? static_cast<char>(c - 'A' + 'a') : c));
    }
    FUZZ_CHECK(foldAsciiCase(cp, folded) == folded);

    FUZZ_CHECK(startsWithText(cp, text, needle, false) == (text.compare(0, needle.size(), needle) == 0 && needle.size() <= text.size()));
    if (startsWithText(cp, text, needle, false)) FUZZ_CHECK(startsWithText(cp, text, needle, true));
    return 0;
}

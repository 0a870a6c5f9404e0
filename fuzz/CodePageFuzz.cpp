// The code-page helpers on arbitrary bytes in CP932 and UTF-8: no read out
// of bounds, and every result agrees with the character boundaries that a
// walk with characterLength finds.
#include "FuzzCheck.h"

using namespace kestro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());
    const std::string needle = in.ConsumeRandomLengthString(16), bytes = in.ConsumeRandomLengthString(4);
    const std::size_t from = in.ConsumeIntegralInRange<std::size_t>(0, 4200);
    const std::size_t maxBytes = in.ConsumeIntegralInRange<std::size_t>(0, 4200);
    const std::string text = in.ConsumeRemainingBytesAsString();

    // The walk always steps forward, never past the end.
    std::string starts(text.size() + 1, '\0');
    for (std::size_t pos = 0, length = 0; pos < text.size(); pos += length) {
        starts[pos] = 1;
        length = characterLength(cp, text, pos);
        FUZZ_CHECK(length >= 1 && length <= (cp == CodePage::Cp932 ? 2u : 4u) && pos + length <= text.size());
    }
    FUZZ_CHECK(characterLength(cp, text, text.size()) == 0);
    starts[text.size()] = 1;
    const auto isStart = [&](std::size_t pos) { return pos <= text.size() && starts[pos] != 0; };

    // findText: the first match at or after `from` that starts and ends on
    // a boundary; in UTF-8 an ASCII needle is found where a byte search finds it.
    std::size_t expected = std::string::npos;
    for (std::size_t pos = from; expected == std::string::npos && pos + needle.size() <= text.size(); ++pos) {
        if (isStart(pos) && isStart(pos + needle.size()) && text.compare(pos, needle.size(), needle) == 0) expected = pos;
    }
    const std::size_t found = findText(cp, text, needle, from);
    FUZZ_CHECK(found == expected);
    if (cp == CodePage::Utf8 && !needle.empty() && kestro::fuzz::isAscii(needle)) {
        FUZZ_CHECK(found == (from <= text.size() ? text.find(needle, from) : std::string::npos));
    }

    // findLastOf / findFirstOf: only character starts count.
    std::size_t last = std::string::npos, first = std::string::npos;
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        if (!isStart(pos) || bytes.find(text[pos]) == std::string::npos) continue;
        last = pos;
        if (first == std::string::npos && pos >= from) first = pos;
    }
    FUZZ_CHECK(findLastOf(cp, text, bytes) == last && findFirstOf(cp, text, bytes, from) == first);

    // cutToBytes: the longest prefix within the limit that ends on a boundary.
    const std::string cut = cutToBytes(cp, text, maxBytes);
    FUZZ_CHECK(cut.size() <= maxBytes || cut == text);
    FUZZ_CHECK(text.compare(0, cut.size(), cut) == 0 && isStart(cut.size()));
    for (std::size_t pos = cut.size() + 1; pos <= std::min(maxBytes, text.size()); ++pos) FUZZ_CHECK(!isStart(pos));

    // foldAsciiCase: only single-byte capitals that start a character change.
    const std::string folded = foldAsciiCase(cp, text);
    FUZZ_CHECK(folded.size() == text.size() && foldAsciiCase(cp, folded) == folded);
    for (std::size_t pos = 0; pos < text.size(); ++pos) {
        const char c = text[pos];
        const bool capital = c >= 'A' && c <= 'Z' && isStart(pos) && isStart(pos + 1);
        FUZZ_CHECK(folded[pos] == (capital ? static_cast<char>(c - 'A' + 'a') : c));
    }
    FUZZ_CHECK(startsWithText(cp, text, needle, false) == text.starts_with(needle));
    if (text.starts_with(needle)) FUZZ_CHECK(startsWithText(cp, text, needle, true));
    return 0;
}

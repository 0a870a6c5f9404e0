// The INI layer on arbitrary files: a value written reads back as a profile
// read gives it, no other key changes, writing it again changes nothing, a
// number reads back as that number, and a deleted key goes, one copy at a
// time, until none is left; what the format cannot hold changes nothing.
#include <utility>

#include "FuzzCheck.h"
#include "settings/IniText.h"

using namespace kestro;

namespace {

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// Blanks around dropped, then one pair of enclosing double or single quotes.
std::string readBack(std::string_view value) {
    value = trimmed(value);
    if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0]) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());
    const int operation = in.ConsumeIntegralInRange(0, 2), number = in.ConsumeIntegral<int>();
    const std::string section = in.ConsumeRandomLengthString(64), key = in.ConsumeRandomLengthString(64);
    const std::string value = operation == 2 ? std::to_string(number) : in.ConsumeRandomLengthString(512);
    const std::string otherSection = in.ConsumeRandomLengthString(64), otherKey = in.ConsumeRandomLengthString(64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::optional<std::string> before = iniLookup(cp, text, section, key);
    if (before) FUZZ_CHECK(before->find('\n') == std::string::npos && limitProfileString(cp, *before).size() <= 4095);
    const auto same = [cp](std::string_view a, std::string_view b) {
        return foldAsciiCase(cp, trimmed(a)) == foldAsciiCase(cp, trimmed(b));
    };
    const bool otherIsSame = same(section, otherSection) && same(key, otherKey);
    const std::optional<std::string> otherBefore = iniLookup(cp, text, otherSection, otherKey);
    const std::optional<std::string_view> written = operation == 1 ? std::nullopt : std::optional<std::string_view>(value);

    const std::string after = iniWrite(cp, text, section, key, written);
    if (!iniCanStore(cp, section, key, written) || (!written && !before)) {
        FUZZ_CHECK(after == text);
        return 0;
    }
    if (!otherIsSame) FUZZ_CHECK(iniLookup(cp, after, otherSection, otherKey) == otherBefore);
    if (written) {
        const std::optional<std::string> read = iniLookup(cp, after, section, key);
        FUZZ_CHECK(read && *read == readBack(value) && iniWrite(cp, after, section, key, written) == after);
        if (operation == 2) FUZZ_CHECK(profileIntFromText(*read) == number);
        return 0;
    }
    for (std::string previous = text, current = after;; previous = std::exchange(current, iniWrite(cp, current, section, key, std::nullopt))) {
        FUZZ_CHECK(current.size() < previous.size());
        if (!iniLookup(cp, current, section, key)) return 0;
    }
}

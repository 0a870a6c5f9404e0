// The INI layer on arbitrary files: a value written reads back as a profile
// read gives it, no other key changes, a deleted key can always be removed,
// and a number written reads back as the same number.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <optional>
#include <string>

#include "FuzzCheck.h"
#include "settings/IniText.h"

using namespace kestro;

namespace {

std::string_view trimmedBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

// What a profile read gives for a stored value: blanks around it dropped,
// then one pair of enclosing double or single quotes.
std::string readBack(std::string_view value) {
    value = trimmedBlanks(value);
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

bool sameName(CodePage cp, std::string_view a, std::string_view b) {
    return foldAsciiCase(cp, trimmedBlanks(a)) == foldAsciiCase(cp, trimmedBlanks(b));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());
    const int operation = in.ConsumeIntegralInRange(0, 2);
    const int number = in.ConsumeIntegral<int>();
    const std::string section = in.ConsumeRandomLengthString(64);
    const std::string key = in.ConsumeRandomLengthString(64);
    const std::string value = in.ConsumeRandomLengthString(512);
    const std::string otherSection = in.ConsumeRandomLengthString(64);
    const std::string otherKey = in.ConsumeRandomLengthString(64);
    const std::string text = in.ConsumeRemainingBytesAsString();

    const std::optional<std::string> before = iniLookup(cp, text, section, key);
    if (before) {
        FUZZ_CHECK(before->find('\n') == std::string::npos);
        FUZZ_CHECK(limitProfileString(cp, *before).size() <= 4095);
    }
    (void)profileIntFromText(value);

    const bool otherIsSame = sameName(cp, section, otherSection) && sameName(cp, key, otherKey);
    const std::optional<std::string> otherBefore = iniLookup(cp, text, otherSection, otherKey);

    std::optional<std::string_view> written;
    std::string numberText;
    if (operation == 0) {
        written = value;
    } else if (operation == 2) {
        numberText = std::to_string(number);
        written = numberText;
    }

    const std::string after = iniWrite(cp, text, section, key, written);
    if (!iniCanStore(cp, section, key, written)) {
        FUZZ_CHECK(after == text);
        return 0;
    }
    if (!otherIsSame) FUZZ_CHECK(iniLookup(cp, after, otherSection, otherKey) == otherBefore);

    if (written) {
        const std::optional<std::string> read = iniLookup(cp, after, section, key);
        FUZZ_CHECK(read.has_value());
        FUZZ_CHECK(*read == readBack(*written));
        if (operation == 2) FUZZ_CHECK(profileIntFromText(*read) == number);
        // Writing what is already there changes nothing.
        FUZZ_CHECK(iniWrite(cp, after, section, key, written) == after);
        return 0;
    }

    // Deleting: an absent key leaves the file as it was; a present one goes,
    // one line at a time, until no copy of it is left.
    if (!before) {
        FUZZ_CHECK(after == text);
        return 0;
    }
    std::string current = after;
    std::size_t previousSize = text.size();
    for (int round = 0; round < 10000; ++round) {
        FUZZ_CHECK(current.size() < previousSize);
        if (!iniLookup(cp, current, section, key)) return 0;
        previousSize = current.size();
        current = iniWrite(cp, current, section, key, std::nullopt);
    }
    FUZZ_CHECK(false && "a key survived every deletion");
    return 0;
}

// Checks inside fuzz targets: a broken property aborts, so libFuzzer keeps
// the input that broke it as a crash artifact.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/CodePage.h"

#define FUZZ_CHECK(condition)                                                             \
    do {                                                                                  \
        if (!(condition)) {                                                               \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (false)

namespace kestro::fuzz {

inline CodePage codePageFrom(bool cp932) { return cp932 ? CodePage::Cp932 : CodePage::Utf8; }

// Where characters start in `text`, plus text.size(): walked with
// characterLength, which must always step forward and never past the end.
inline std::string characterStarts(CodePage cp, std::string_view text) {
    // One flag byte per position (and one for the end) keeps it cheap.
    std::string starts(text.size() + 1, '\0');
    std::size_t pos = 0;
    while (pos < text.size()) {
        starts[pos] = 1;
        const std::size_t length = characterLength(cp, text, pos);
        FUZZ_CHECK(length >= 1);
        FUZZ_CHECK(length <= (cp == CodePage::Cp932 ? 2u : 4u));
        FUZZ_CHECK(pos + length <= text.size());
        pos += length;
    }
    FUZZ_CHECK(characterLength(cp, text, text.size()) == 0);
    starts[text.size()] = 1;
    return starts;
}

inline bool isAscii(std::string_view text) {
    for (const char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    }
    return true;
}

}  // namespace kestro::fuzz

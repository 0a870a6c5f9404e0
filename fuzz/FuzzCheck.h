// Checks inside fuzz targets: a broken property aborts, so libFuzzer keeps
// the input that broke it as a crash artifact.
#pragma once

#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "text/CodePage.h"

#define FUZZ_CHECK(condition)                                                                       \
    do {                                                                                            \
        if (!(condition)) {                                                                         \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                           \
        }                                                                                           \
    } while (false)

namespace kestro::fuzz {

inline CodePage codePageFrom(bool cp932) { return cp932 ? CodePage::Cp932 : CodePage::Utf8; }

inline bool isAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace kestro::fuzz

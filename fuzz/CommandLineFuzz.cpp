// Command lines: every word joined by joinCommandLine, and every quoted word,
// comes back whole from splitCommandLine; any command line, split and quoted
// again word by word, splits to the same words. In CP932, texts where a
// lead byte stands before a double quote are left out: the Windows runtime
// takes such a quote for the character's second byte, so no quoting can
// carry them.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "build/CommandLine.h"

using namespace kestro;

namespace {

bool leadByteBeforeQuote(CodePage cp, const std::string& text) {
    if (cp != CodePage::Cp932) return false;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(text[i]);
        if (((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) && text[i + 1] == '"') return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());

    if (mode == 0) {
        // The program and single words: each arrives as exactly one word.
        const std::string program = in.ConsumeRandomLengthString(128);
        std::vector<CommandPart> parts;
        std::vector<std::string> expected{program};
        const int count = in.ConsumeIntegralInRange(0, 6);
        for (int i = 0; i < count; ++i) {
            parts.push_back(CommandPart{in.ConsumeRandomLengthString(128), true});
            expected.push_back(parts.back().text);
        }
        for (const std::string& word : expected) {
            if (leadByteBeforeQuote(cp, word)) return 0;
        }
        FUZZ_CHECK(splitCommandLine(cp, joinCommandLine(cp, program, parts)) == expected);
        for (const std::string& word : expected) {
            FUZZ_CHECK(splitCommandLine(cp, quoteWord(cp, word)) == std::vector<std::string>{word});
        }
        return 0;
    }

    if (mode == 1) {
        // An option text without quotes splits into its own words, however
        // many blanks it holds (none: the stem still follows as one word).
        const std::string program = in.ConsumeRandomLengthString(64);
        std::string options = in.ConsumeRandomLengthString(128);
        const std::string stem = in.ConsumeRemainingBytesAsString();
        if (options.find('"') != std::string::npos || leadByteBeforeQuote(cp, program) ||
            leadByteBeforeQuote(cp, stem)) {
            return 0;
        }
        std::vector<std::string> expected{program};
        for (std::string& word : splitCommandLine(cp, options)) expected.push_back(std::move(word));
        expected.push_back(stem);
        const std::string line = joinCommandLine(cp, program, {CommandPart{options, false}, CommandPart{stem, true}});
        FUZZ_CHECK(splitCommandLine(cp, line) == expected);
        return 0;
    }

    const std::string line = in.ConsumeRemainingBytesAsString();
    if (leadByteBeforeQuote(cp, line)) return 0;
    const std::vector<std::string> words = splitCommandLine(cp, line);
    std::string rejoined;
    for (const std::string& word : words) {
        if (!rejoined.empty()) rejoined += ' ';
        rejoined += quoteWord(cp, word);
    }
    FUZZ_CHECK(splitCommandLine(cp, rejoined) == words);
    return 0;
}

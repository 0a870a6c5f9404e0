// Command lines: every word joined by joinCommandLine, and every quoted word,
// comes back whole from splitCommandLine; any command line, split and quoted
// again word by word, splits to the same words.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "build/CommandLine.h"

using namespace kestro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const int mode = in.ConsumeIntegralInRange(0, 2);

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
        FUZZ_CHECK(splitCommandLine(joinCommandLine(program, parts)) == expected);
        for (const std::string& word : expected) {
            FUZZ_CHECK(splitCommandLine(quoteWord(word)) == std::vector<std::string>{word});
        }
        return 0;
    }

    if (mode == 1) {
        // An option text without quotes splits into its own words, however
        // many blanks it holds (none: the stem still follows as one word).
        const std::string program = in.ConsumeRandomLengthString(64);
        std::string options = in.ConsumeRandomLengthString(128);
        const std::string stem = in.ConsumeRemainingBytesAsString();
        if (options.find('"') != std::string::npos) return 0;
        std::vector<std::string> expected{program};
        for (std::string& word : splitCommandLine(options)) expected.push_back(std::move(word));
        expected.push_back(stem);
        const std::string line = joinCommandLine(program, {CommandPart{options, false}, CommandPart{stem, true}});
        FUZZ_CHECK(splitCommandLine(line) == expected);
        return 0;
    }

    const std::string line = in.ConsumeRemainingBytesAsString();
    const std::vector<std::string> words = splitCommandLine(line);
    std::string rejoined;
    for (const std::string& word : words) {
        if (!rejoined.empty()) rejoined += ' ';
        rejoined += quoteWord(word);
    }
    FUZZ_CHECK(splitCommandLine(rejoined) == words);
    return 0;
}

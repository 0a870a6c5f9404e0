// Command lines: joined or single quoted words come back whole from
// splitCommandLine; an option text splits into its own words before the
// stem; any line, split and quoted again, splits to the same words. A CP932
// lead byte before a double quote is left out: no quoting can carry it.
#include "FuzzCheck.h"
#include "pipeline/CommandLine.h"

using namespace kestro;
using Words = std::vector<std::string>;

namespace {

bool leadByteBeforeQuote(CodePage cp, const std::string& text) {
    for (std::size_t i = 0; cp == CodePage::Cp932 && i + 1 < text.size(); ++i) {
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
    const std::string program = in.ConsumeRandomLengthString(128);
    if (mode == 0) {
        std::vector<CommandPart> parts;
        Words expected{program};
        for (int i = in.ConsumeIntegralInRange(0, 6); i > 0; --i) {
            parts.push_back(CommandPart{in.ConsumeRandomLengthString(128), true});
            expected.push_back(parts.back().text);
        }
        for (const std::string& word : expected) if (leadByteBeforeQuote(cp, word)) return 0;
        FUZZ_CHECK(splitCommandLine(cp, joinCommandLine(cp, program, parts)) == expected);
        for (const std::string& word : expected) FUZZ_CHECK(splitCommandLine(cp, quoteWord(cp, word)) == Words{word});
    } else if (mode == 1) {
        const std::string options = in.ConsumeRandomLengthString(128), stem = in.ConsumeRemainingBytesAsString();
        if (options.find('"') != std::string::npos || leadByteBeforeQuote(cp, program) || leadByteBeforeQuote(cp, stem)) {
            return 0;
        }
        Words expected{program};
        for (std::string& word : splitCommandLine(cp, options)) expected.push_back(std::move(word));
        expected.push_back(stem);
        FUZZ_CHECK(splitCommandLine(cp, joinCommandLine(cp, program, {{options, false}, {stem, true}})) == expected);
    } else {
        const std::string line = program + in.ConsumeRemainingBytesAsString();
        if (leadByteBeforeQuote(cp, line)) return 0;
        const Words words = splitCommandLine(cp, line);
        std::string rejoined;
        for (const std::string& word : words) rejoined += (rejoined.empty() ? "" : " ") + quoteWord(cp, word);
        FUZZ_CHECK(splitCommandLine(cp, rejoined) == words);
    }
    return 0;
}

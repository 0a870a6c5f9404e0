#include <gtest/gtest.h>

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "build/CommandLine.h"

namespace kestro {
namespace {

using Words = std::vector<std::string>;

constexpr CodePage kUtf8 = CodePage::Utf8;
constexpr CodePage kCp932 = CodePage::Cp932;
// 表, ソ and 能 in CP932: each ends in the byte of a backslash.
const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C", kNo = "\x94\x5C";

// Quotes only when a word could split or vanish; backslashes are doubled
// only before a quote.
TEST(QuoteWord, QuotesOnlyWhenNeededAndDoublesBackslashesOnlyBeforeAQuote) {
    const std::pair<std::string, std::string> cases[] = {
        {"paper", "paper"}, {"C:\\tex\\bin\\", "C:\\tex\\bin\\"}, {"論文", "論文"}, {"", "\"\""},
        {"my paper", "\"my paper\""}, {"a\tb", "\"a\tb\""},
        {"C:\\Program Files\\tex\\platex.exe", "\"C:\\Program Files\\tex\\platex.exe\""},
        {"dir name\\", "\"dir name\\\\\""}, {"a\"b", "\"a\\\"b\""}, {"a\\\"b", "\"a\\\\\\\"b\""},
        {"\"", "\"\\\"\""},
    };
    for (const auto& [word, quoted] : cases) EXPECT_EQ(quoteWord(kUtf8, word), quoted) << word;
    // In CP932 the second byte of a character is never a backslash to double.
    EXPECT_EQ(quoteWord(kCp932, kNo + " " + kHyo), "\"" + kNo + " " + kHyo + "\"");
    EXPECT_EQ(quoteWord(kCp932, "a " + kSo + "\\"), "\"a " + kSo + "\\\\\"");
}

TEST(JoinCommandLine, JoinsWithSingleSpacesAndQuotesSingleWords) {
    EXPECT_EQ(joinCommandLine(kUtf8, "platex", {{"paper", true}}), "platex paper");
    EXPECT_EQ(joinCommandLine(kUtf8, "mendex", {{"-s myindex", false}, {"paper", true}}), "mendex -s myindex paper");
    EXPECT_EQ(joinCommandLine(kUtf8, "mendex", {{"", false}, {"paper", true}}), "mendex  paper");
    EXPECT_EQ(joinCommandLine(kUtf8, "platex", {{"my paper", true}}), "platex \"my paper\"");
    EXPECT_EQ(joinCommandLine(kUtf8, "platex", {{"", true}}), "platex \"\"");
    EXPECT_EQ(joinCommandLine(kUtf8, "C:\\Program Files\\tex\\platex.exe", {{"paper", true}}),
              "\"C:\\Program Files\\tex\\platex.exe\" paper");
    EXPECT_EQ(joinCommandLine(kUtf8, "xterm", {}), "xterm");
}

TEST(SplitCommandLine, BlanksSeparateAndQuotesGroup) {
    EXPECT_EQ(splitCommandLine(kUtf8, ""), Words{});
    EXPECT_EQ(splitCommandLine(kUtf8, " \t "), Words{});
    EXPECT_EQ(splitCommandLine(kUtf8, "  mendex \t -s  myindex   paper  "), (Words{"mendex", "-s", "myindex", "paper"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "\"a b c\" d e"), (Words{"a b c", "d", "e"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "x\"a b\"y z"), (Words{"xa by", "z"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "a \"\" b"), (Words{"a", "", "b"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "\"unterminated  text"), (Words{"unterminated  text"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "a\nb"), (Words{"a\nb"}));
}

TEST(SplitCommandLine, BackslashesCountOnlyBeforeAQuote) {
    EXPECT_EQ(splitCommandLine(kUtf8, "\"ab\\\"c\" \"\\\\\" d"), (Words{"ab\"c", "\\", "d"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "a\\\\\\b d\"e f\"g h"), (Words{"a\\\\\\b", "de fg", "h"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "a\\\\\\\"b c d"), (Words{"a\\\"b", "c", "d"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "a\\\\\\\\\"b c\" d e"), (Words{"a\\\\b c", "d", "e"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "C:\\dir\\ x\\"), (Words{"C:\\dir\\", "x\\"}));
}

TEST(SplitCommandLine, DoubledQuoteInsideQuotesIsALiteralQuoteAndQuotingGoesOn) {
    EXPECT_EQ(splitCommandLine(kUtf8, "a\"b\"\" c d"), (Words{"ab\" c d"}));
    EXPECT_EQ(splitCommandLine(kUtf8, "\"say \"\"hi\"\" now\" x"), (Words{"say \"hi\" now", "x"}));
    // Outside quotes "" opens and closes an empty group.
    EXPECT_EQ(splitCommandLine(kUtf8, "a\"\"b c"), (Words{"ab", "c"}));
}

TEST(CommandLineRoundTrip, AwkwardWordsArriveWhole) {
    const Words awkward = {
        "",       " ",         "\t",         "\"",      "\\",         "\\\\",       "a b\\",
        "a b\\\\", "\\\"",      "\"\"",       "a\"\"b c", "end\\\" x\\", "論文 最終版", "表\\ ソ\\",
        "-s x",    " leading",  "trailing ", "a\t\"b\" c\\", kNo + " " + kHyo, "a " + kSo + "\\",
    };
    for (const CodePage cp : {kUtf8, kCp932}) {
        const std::string program = "C:\\Program Files\\" + kHyo + "\\platex.exe";
        for (const std::string& word : awkward) {
            const Words words = splitCommandLine(cp, joinCommandLine(cp, program, {{word, true}}));
            ASSERT_EQ(words.size(), 2u) << "word: [" << word << "]";
            EXPECT_EQ(words[0], program);
            EXPECT_EQ(words[1], word);
        }
    }
}

// Random words over an alphabet rich in the characters that matter; a fixed
// seed keeps failures reproducible.
TEST(CommandLineRoundTrip, RandomWordsArriveWholeAndInOrder) {
    for (const CodePage cp : {kUtf8, kCp932}) {
        std::vector<std::string> alphabet = {"a", "Z", " ", "\t", "\"", "\\", "\\", "\"", "-", "."};
        for (const std::string& c : cp == kUtf8 ? Words{"論", "表"} : Words{kHyo, kSo}) alphabet.push_back(c);
        std::mt19937 random(20240601u);
        auto below = [&](std::size_t bound) { return static_cast<std::size_t>(random() % bound); };
        auto randomWord = [&] {
            std::string word;
            const std::size_t length = below(9);
            for (std::size_t i = 0; i < length; ++i) word += alphabet[below(alphabet.size())];
            return word;
        };
        for (int round = 0; round < 3000; ++round) {
            const std::string program = randomWord();
            std::vector<CommandPart> parts;
            Words expected = {program};
            const std::size_t count = below(4);
            for (std::size_t i = 0; i < count; ++i) {
                std::string word = randomWord();
                expected.push_back(word);
                parts.push_back({std::move(word), true});
            }
            const std::string line = joinCommandLine(cp, program, parts);
            ASSERT_EQ(splitCommandLine(cp, line), expected) << "line: [" << line << "]";
        }
    }
}

}  // namespace
}  // namespace kestro

// The text rules: the two code pages, the platforms' conventions, the
// document path split and the tools' command lines.
#include <gtest/gtest.h>

#include "app/Startup.h"
#include "pipeline/CommandLine.h"
#include "document/DocumentPath.h"

namespace kestro {
namespace {

using Words = std::vector<std::string>;
constexpr CodePage kCp932 = CodePage::Cp932, kUtf8 = CodePage::Utf8;
// CP932 characters whose second byte is a backslash.
const std::string kHyo = "\x95\x5C", kSo = "\x83\x5C", kNo = "\x94\x5C";
const PlatformRules kWin = PlatformRules::windows(), kPosix = PlatformRules::posix();

TEST(CodePage, CharacterLengthFollowsTheRangesOfEachCodePage) {
    const std::tuple<CodePage, std::string, std::size_t, std::size_t> cases[] = {
        // CP932: lead and trail ranges; half-width katakana and the bytes
        // between the lead ranges stand alone, as does a lead byte without
        // a trail byte; from the trail byte itself one byte is seen.
        {kCp932, "a", 0, 1}, {kCp932, kHyo, 0, 2}, {kCp932, "\x9F\x40", 0, 2}, {kCp932, "\xE0\x40", 0, 2},
        {kCp932, "\xFC\xFC", 0, 2}, {kCp932, "\x81\x80", 0, 2}, {kCp932, "\xB1\x5C", 0, 1},
        {kCp932, "\xA0\x41", 0, 1}, {kCp932, "\x95", 0, 1}, {kCp932, "\x95\x7F", 0, 1}, {kCp932, kHyo, 1, 1},
        {kCp932, kHyo, 2, 0},
        // UTF-8: valid sequences up to U+10FFFF; overlong forms, surrogates,
        // values past U+10FFFF and cut-short sequences are single bytes.
        {kUtf8, "\xC3\xA9", 0, 2}, {kUtf8, "\xE8\xA1\xA8", 0, 3}, {kUtf8, "\xF4\x8F\xBF\xBF", 0, 4},
        {kUtf8, "\x80", 0, 1}, {kUtf8, "\xC0\x80", 0, 1}, {kUtf8, "\xE0\x80\x80", 0, 1},
        {kUtf8, "\xED\xA0\x80", 0, 1}, {kUtf8, "\xF4\x90\x80\x80", 0, 1}, {kUtf8, "\xE8\xA1\x41", 0, 1},
    };
    for (const auto& [cp, text, at, length] : cases) {
        EXPECT_EQ(characterLength(cp, text, at), length) << ::testing::PrintToString(text) << " at " << at;
    }
}

// A match starts and ends on character boundaries: no match on the trail
// byte of 表, none that ends on the lead byte of 表 or é.
TEST(CodePage, SearchMatchesWholeCharactersOnly) {
    const std::tuple<CodePage, std::string, std::string, std::size_t, std::size_t> cases[] = {
        {kCp932, "a\x95\x5C\\", "\\", 0, 3}, {kCp932, "a\x95\x5C" "a\x95", "a\x95", 0, 3},
        {kCp932, "\x95\x5C\x95\x5C", kHyo, 1, 2}, {kUtf8, "a\xC3\xA9" "a\xC3", "a\xC3", 0, 3},
    };
    for (const auto& [cp, text, needle, from, found] : cases) EXPECT_EQ(findText(cp, text, needle, from), found) << needle;
}

TEST(PlatformRules, ExecutablesDirectoriesAndTheSettingsPath) {
    EXPECT_TRUE(kWin.namesExecutable("platex.exe -kanji=sjis") && kPosix.namesExecutable("./platex"));
    EXPECT_FALSE(kWin.namesExecutable("PLATEX.EXE") || kWin.namesExecutable("/usr/bin/platex"));
    EXPECT_FALSE(kPosix.namesExecutable("platex.exe"));
    EXPECT_EQ(kWin.directoryOf("C:\\tex/bin\\platex.exe"), "C:\\tex/bin\\");
    EXPECT_EQ(kPosix.directoryOf("dir\\paper.tex"), "");
    // Plain concatenation, up to the 259 bytes Windows takes.
    EXPECT_EQ(settingsPathForStart(kWin, std::string(248, 'a')), std::string(248, 'a') + "\\Kestro.ini");
    EXPECT_EQ(settingsPathForStart(kWin, std::string(249, 'a')), "");
    EXPECT_EQ(settingsPathForStart(kWin, std::nullopt), "");
    EXPECT_EQ(settingsPathForStart(kPosix, "/" + std::string(400, 'd')), "/" + std::string(400, 'd') + "/Kestro.ini");
    // The start-up document: one pair of enclosing quotes goes.
    EXPECT_EQ(documentFromCommandTail("\"C:\\my work\\a.tex\""), "C:\\my work\\a.tex");
    EXPECT_EQ(documentFromCommandTail("\"\"a.tex\"\""), "\"a.tex\"");
    EXPECT_EQ(documentFromCommandTail("\""), "\"");
    EXPECT_EQ(documentFromDirectory("sub dir/a.tex", std::string("/w")), "/w/sub dir/a.tex");
    EXPECT_EQ(documentFromDirectory("/abs/a.tex", std::string("/w/")), "/abs/a.tex");
}

// Windows: both slashes separate, the drive is the directory's, trail bytes
// are no separators or dots, parts are cut to 255 bytes on a character
// boundary. Linux: only "/" separates, nothing is cut.
TEST(DocumentPath, SplitsIntoDirectoryStemAndExtension) {
    const std::tuple<bool, std::string, std::string, std::string, std::string> cases[] = {
        {true, "C:\\work\\paper.final.tex", "C:\\work\\", "paper.final", ".tex"},
        {true, "C:\\my.dir\\paper", "C:\\my.dir\\", "paper", ""},
        {true, "C:/work\\sub/paper.tex", "C:/work\\sub/", "paper", ".tex"},
        {true, "C:paper.tex", "C:", "paper", ".tex"},
        {true, "ab:c.tex", "", "ab:c", ".tex"},
        {true, "C:\\" + kSo + "\\" + kHyo + ".tex", "C:\\" + kSo + "\\", kHyo, ".tex"},
        {true, "C:\\\xB1\\p.tex", "C:\\\xB1\\", "p", ".tex"},
        {true, "C:\\w\\a.t\x95", "C:\\w\\", "a", ".t\x95"},
        {true, "C:\\w\\" + std::string(300, 'a') + ".tex", "C:\\w\\", std::string(255, 'a'), ".tex"},
        {true, "C:\\w\\" + std::string(254, 'a') + kHyo, "C:\\w\\", std::string(254, 'a'), ""},
        {false, "/home/u/a\\b.tex", "/home/u/", "a\\b", ".tex"},
        {false, "C:paper.tex", "", "C:paper", ".tex"},
        {false, "/home/u/.hidden", "/home/u/", "", ".hidden"},
        {false, "/" + std::string(300, 'd') + "/" + std::string(400, 'a') + ".tex", "/" + std::string(300, 'd') + "/",
         std::string(400, 'a'), ".tex"},
    };
    for (const auto& [windows, path, directory, stem, extension] : cases) {
        SCOPED_TRACE(path);
        const DocumentParts parts = splitDocumentPath(windows ? kWin : kPosix, path);
        EXPECT_EQ(parts.directory, directory);
        EXPECT_EQ(parts.stem, stem);
        EXPECT_EQ(parts.extension, extension);
    }
}

// Quotes only where a word could split or vanish; backslashes are doubled
// only before a quote; in CP932 a trail byte 0x5C is no backslash.
TEST(CommandLine, QuotingAndSplittingFollowTheWindowsRuntime) {
    const std::pair<std::string, std::string> quoted[] = {
        {"C:\\tex\\bin\\", "C:\\tex\\bin\\"}, {"", "\"\""}, {"a\tb", "\"a\tb\""}, {"dir name\\", "\"dir name\\\\\""},
        {"a\"b", "\"a\\\"b\""}, {"a\\\"b", "\"a\\\\\\\"b\""},
    };
    for (const auto& [word, expected] : quoted) EXPECT_EQ(quoteWord(kUtf8, word), expected) << word;
    EXPECT_EQ(quoteWord(kCp932, "a " + kSo + "\\"), "\"a " + kSo + "\\\\\"");
    EXPECT_EQ(joinCommandLine(kUtf8, "mendex", {{"", false}, {"my paper", true}}), "mendex  \"my paper\"");
    EXPECT_EQ(joinCommandLine(kUtf8, "mendex", {{"-s my", false}}), "mendex -s my");
    const std::pair<std::string, Words> split[] = {
        {" \t ", {}}, {"  mendex \t -s  myindex ", {"mendex", "-s", "myindex"}}, {"x\"a b\"y z", {"xa by", "z"}},
        {"a \"\" b", {"a", "", "b"}}, {"\"ab\\\"c\" \"\\\\\" d", {"ab\"c", "\\", "d"}}, {"a\\\\\\b d", {"a\\\\\\b", "d"}},
        {"a\\\\\\\\\"b c\" d", {"a\\\\b c", "d"}}, {"\"say \"\"hi\"\" now\" x", {"say \"hi\" now", "x"}},
        {"a\"\"b c", {"ab", "c"}}, {kNo + "\"a b\"", {kNo + "a b"}},
    };
    for (const auto& [line, words] : split) EXPECT_EQ(splitCommandLine(kCp932, line), words) << line;
    // The text ends where its view ends, whatever follows in memory.
    EXPECT_EQ(splitCommandLine(kUtf8, std::string_view("a\\", 1)), Words{"a"});
}

}  // namespace
}  // namespace kestro

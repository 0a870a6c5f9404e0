#include <gtest/gtest.h>

#include <random>
#include <string>

#include "text/CodePage.h"
#include "text/PlatformRules.h"

namespace kestro {
namespace {

constexpr auto npos = std::string_view::npos;
constexpr CodePage kCp932 = CodePage::Cp932;
constexpr CodePage kUtf8 = CodePage::Utf8;

// CP932 characters whose second byte is a backslash or an ASCII letter.
const std::string kHyo = "\x95\x5C";   // 表
const std::string kSo = "\x83\x5C";    // ソ
const std::string kNo = "\x94\x5C";    // 能
const std::string kYo = "\x97\x5C";    // 予
const std::string kJu = "\x8F\x5C";    // 十
const std::string kKanaA = "\x83\x41"; // ア: second byte is 'A'

// UTF-8 text as bytes: the Windows build compiles literals to CP932.
const std::string kUtf8Hyo = "\xE8\xA1\xA8";   // 表
const std::string kUtf8Nichi = "\xE6\x97\xA5"; // 日
const std::string kUtf8Hon = "\xE6\x9C\xAC";   // 本
const std::string kUtf8Go = "\xE8\xAA\x9E";    // 語

TEST(CodePage, CharacterLengthFollowsTheCodePagesRanges) {
    struct Case {
        CodePage cp;
        std::string text;
        std::size_t at, length;
    };
    const Case cases[] = {
        // CP932: lead and trail ranges; half-width katakana and the bytes
        // between the lead ranges are single; a lead byte without a valid
        // trail byte is a character of its own; from the trail byte itself
        // an ASCII character is seen.
        {kCp932, "a", 0, 1}, {kCp932, kHyo, 0, 2}, {kCp932, "\xE0\x40", 0, 2}, {kCp932, "\xFC\xFC", 0, 2},
        {kCp932, "\x81\x80", 0, 2}, {kCp932, "\xB1\x5C", 0, 1}, {kCp932, "\xA0\x41", 0, 1},
        {kCp932, "\xFD\x41", 0, 1}, {kCp932, "\x95", 0, 1}, {kCp932, "\x95\x3F", 0, 1}, {kCp932, "\x95\x7F", 0, 1},
        {kCp932, "\x95\xFD", 0, 1}, {kCp932, kHyo, 1, 1}, {kCp932, kHyo, 2, 0},
        // UTF-8: valid sequences up to U+10FFFF; stray continuations,
        // overlong forms, surrogates, values past U+10FFFF and cut-short
        // sequences are single bytes.
        {kUtf8, "a", 0, 1}, {kUtf8, "\xC3\xA9", 0, 2}, {kUtf8, kUtf8Hyo, 0, 3}, {kUtf8, "\xF0\x9F\x98\x80", 0, 4},
        {kUtf8, "\xF4\x8F\xBF\xBF", 0, 4}, {kUtf8, "\x80", 0, 1}, {kUtf8, "\xC0\x80", 0, 1},
        {kUtf8, "\xE0\x80\x80", 0, 1}, {kUtf8, "\xED\xA0\x80", 0, 1}, {kUtf8, "\xF0\x80\x80\x80", 0, 1},
        {kUtf8, "\xF4\x90\x80\x80", 0, 1}, {kUtf8, "\xE8\xA1", 0, 1}, {kUtf8, "\xE8\xA1\x41", 0, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(characterLength(c.cp, c.text, c.at), c.length)
            << (c.cp == kCp932 ? "CP932 " : "UTF-8 ") << ::testing::PrintToString(c.text) << " at " << c.at;
    }
}

TEST(CodePageCp932, FindTextNeverStartsOnATrailByte) {
    const std::string onlyTrails = kHyo + kSo + kNo + kYo + kJu;
    EXPECT_EQ(findText(kCp932, onlyTrails, "\\"), npos);
    EXPECT_FALSE(containsText(kCp932, onlyTrails, "\\"));

    // The trail byte of 表 followed by "bin" is not the text "\bin".
    const std::string fake = "C:" + kHyo + "bin";
    EXPECT_EQ(findText(kCp932, fake, "\\bin"), npos);
    const std::string real = "C:" + kHyo + "\\bin";
    EXPECT_EQ(findText(kCp932, real, "\\bin"), 4u);
    EXPECT_EQ(findText(kCp932, real, "\\"), 4u);

    // A trail byte may be a letter: "\x95l" is one character, so "latex"
    // does not begin at its second byte.
    EXPECT_EQ(findText(kCp932, "\x95latex", "latex"), npos);
    EXPECT_EQ(findText(kCp932, "\x95latex", "atex"), 2u);
    EXPECT_FALSE(containsText(kCp932, kKanaA + "BC", "ABC"));
    EXPECT_TRUE(containsText(kCp932, kKanaA + "BC", "BC"));
}

TEST(CodePageCp932, FindFirstAndLastOfSkipTrailBytes) {
    const std::string path = "C:\\" + kSo + "\\" + kHyo + ".tex";
    EXPECT_EQ(findLastOf(kCp932, path, "\\/"), 5u);
    EXPECT_EQ(findFirstOf(kCp932, path, "\\/"), 2u);
    EXPECT_EQ(findFirstOf(kCp932, path, "\\/", 3), 5u);
    EXPECT_EQ(findLastOf(kCp932, kHyo + kSo, "\\"), npos);
    // Half-width katakana are single bytes: the backslash after one is real.
    EXPECT_EQ(findLastOf(kCp932, "\xB1\\", "\\"), 1u);
    // A lead byte whose follower is not a trail byte leaves it a separator.
    EXPECT_EQ(findLastOf(kCp932, "a\x95/b", "\\/"), 2u);
}

TEST(CodePageCp932, CutToBytesNeverSplitsACharacter) {
    const std::string text = "ab" + kHyo + "c";
    EXPECT_EQ(cutToBytes(kCp932, text, 3), "ab");
    EXPECT_EQ(cutToBytes(kCp932, text, 4), "ab" + kHyo);
    EXPECT_EQ(cutToBytes(kCp932, text, 100), text);
    EXPECT_EQ(cutToBytes(kCp932, "ab\x95", 3), "ab\x95");  // lone lead byte
}

TEST(CodePageUtf8, CutToBytesNeverSplitsACharacter) {
    EXPECT_EQ(cutToBytes(kUtf8, "a" + kUtf8Nichi + kUtf8Hon, 6), "a" + kUtf8Nichi);
    EXPECT_EQ(cutToBytes(kUtf8, "a" + kUtf8Nichi + kUtf8Hon, 7), "a" + kUtf8Nichi + kUtf8Hon);
    EXPECT_EQ(cutToBytes(kUtf8, "a\xE8\xA1", 2), "a\xE8");  // invalid bytes count one by one
}

TEST(CodePageCp932, FoldAsciiCaseLeavesTrailBytesAlone) {
    EXPECT_EQ(foldAsciiCase(kCp932, "C:\\Work\\PAPER.TeX"), "c:\\work\\paper.tex");
    EXPECT_EQ(foldAsciiCase(kCp932, kKanaA + "AB"), kKanaA + "ab");
    EXPECT_EQ(foldAsciiCase(kCp932, "\x83Z"), "\x83Z");        // 'Z' is a trail byte here
    EXPECT_EQ(foldAsciiCase(kCp932, "\x83 A"), "\x83 a");      // a lone lead byte
    EXPECT_EQ(foldAsciiCase(kUtf8, "\xC3\x84" "BC"), "\xC3\x84" "bc");
}

TEST(CodePageCp932, StartsWithTextComparesWholeCharacters) {
    const std::string path = "C:\\Work\\" + kKanaA + "Paper.tex";
    EXPECT_TRUE(startsWithText(kCp932, path, "C:\\Work", false));
    EXPECT_FALSE(startsWithText(kCp932, path, "c:\\work", false));
    EXPECT_TRUE(startsWithText(kCp932, path, "c:\\WORK\\" + kKanaA + "paper", true));
    // The trail byte 'A' of ア is not the letter and does not fold to 'a'.
    EXPECT_FALSE(startsWithText(kCp932, path, "c:\\work\\\x83" "a", true));
    EXPECT_FALSE(startsWithText(kCp932, "C:", "C:\\", true));
    EXPECT_TRUE(startsWithText(kCp932, "anything", "", true));
}

TEST(PlatformRules, ExecutableNamesDifferByPlatform) {
    const PlatformRules win = PlatformRules::windows();
    EXPECT_TRUE(win.namesExecutable("c:\\w32tex\\bin\\platex.exe"));
    EXPECT_TRUE(win.namesExecutable("platex.exe -kanji=sjis"));
    EXPECT_FALSE(win.namesExecutable("PLATEX.EXE"));
    EXPECT_FALSE(win.namesExecutable("c:\\w32tex\\bin\\platex"));
    EXPECT_FALSE(win.namesExecutable("/usr/bin/platex"));

    const PlatformRules posix = PlatformRules::posix();
    EXPECT_TRUE(posix.namesExecutable("/usr/bin/platex"));
    EXPECT_TRUE(posix.namesExecutable("./platex"));
    EXPECT_FALSE(posix.namesExecutable("platex.exe"));
    EXPECT_FALSE(posix.namesExecutable("platex"));
}

TEST(PlatformRules, DirectoryOfIsCodePageAware) {
    const PlatformRules win = PlatformRules::windows();
    EXPECT_EQ(win.directoryOf("C:\\tex/bin\\platex.exe"), "C:\\tex/bin\\");
    EXPECT_EQ(win.directoryOf(kHyo + ".tex"), "");
    EXPECT_EQ(win.directoryOf("C:\\" + kHyo + ".tex"), "C:\\");
    EXPECT_EQ(win.directoryOf("C:paper.tex"), "");

    const PlatformRules posix = PlatformRules::posix();
    EXPECT_EQ(posix.directoryOf("/home/u/論文.tex"), "/home/u/");
    EXPECT_EQ(posix.directoryOf("dir\\paper.tex"), "");
    EXPECT_EQ(posix.directoryOf("/"), "/");
}

TEST(PlatformRules, CommandPromptProgramsTryTheTerminalVariableInBetween) {
    const PlatformRules posix = PlatformRules::posix();
    EXPECT_EQ(posix.commandPromptPrograms("kitty"),
              (std::vector<std::string>{"x-terminal-emulator", "kitty", "xterm"}));
    EXPECT_EQ(posix.commandPromptPrograms(""), (std::vector<std::string>{"x-terminal-emulator", "xterm"}));
    EXPECT_EQ(PlatformRules::windows().commandPromptPrograms("kitty"),
              std::vector<std::string>{"c:\\windows\\system32\\cmd.exe"});
}

// The search skips ahead with a byte search and only walks characters near
// each candidate; it must agree with a walk over the whole text.
std::size_t findByWalking(CodePage cp, std::string_view hay, std::string_view needle, std::size_t from) {
    for (std::size_t pos = 0; pos <= hay.size(); pos += characterLength(cp, hay, pos)) {
        if (pos >= from && hay.substr(pos, needle.size()) == needle) {
            std::size_t end = pos;
            while (end < pos + needle.size()) end += characterLength(cp, hay, end);
            if (end == pos + needle.size()) return pos;
        }
        if (pos == hay.size()) break;
    }
    return std::string_view::npos;
}

TEST(CodePageSearch, AgreesWithAWalkOverTheWholeText) {
    // Bytes chosen to make lead, trail and separator roles collide.
    const std::string alphabet = "\x5C\x81\x95\x41\x20\xE0\x82\x61\x80\xBF\xE3\x0A";
    std::mt19937 random(1234);
    auto pick = [&](std::size_t length) {
        std::string text;
        for (std::size_t i = 0; i < length; ++i) text += alphabet[random() % alphabet.size()];
        return text;
    };
    for (int round = 0; round < 20000; ++round) {
        const std::string hay = pick(random() % 24);
        const std::string needle = pick(1 + random() % 3);
        const std::size_t from = random() % 6;
        for (CodePage cp : {CodePage::Cp932, CodePage::Utf8}) {
            ASSERT_EQ(findText(cp, hay, needle, from), findByWalking(cp, hay, needle, from))
                << "round " << round;
        }
    }
}

}  // namespace
}  // namespace kestro

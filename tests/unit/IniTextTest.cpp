#include "settings/IniText.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>
#include <string>
#include <utility>

namespace kestro {
namespace {

std::optional<std::string> lookup(std::string_view text, std::string_view section,
                                  std::string_view key, CodePage cp = CodePage::Utf8) {
    return iniLookup(cp, text, section, key);
}

std::string write(std::string_view text, std::string_view section, std::string_view key,
                  std::optional<std::string_view> value, CodePage cp = CodePage::Utf8) {
    return iniWrite(cp, text, section, key, value);
}

// ---- reading ----------------------------------------------------------------

TEST(IniLookup, NamesMatchWithoutCaseAndBlanksAreDropped) {
    const std::string text =
        "[Settings]\r\n"
        "TeX=platex\r\n"
        "  Bib  =   pbibtex  \r\n"
        "\tMkIdx\t=\tmendex -s a.ist\t\r\n"
        "[ Editor ]\r\n"
        "EDIT=xdg-open\r\n";
    EXPECT_EQ(lookup(text, "settings", "tex"), "platex");
    EXPECT_EQ(lookup(text, "SETTINGS", "BIB"), "pbibtex");
    EXPECT_EQ(lookup(text, "Settings", "MkIdx"), "mendex -s a.ist");
    EXPECT_EQ(lookup(text, "editor", "edit"), "xdg-open");
    EXPECT_EQ(lookup(text, "Editor", "TeX"), std::nullopt);
    EXPECT_EQ(lookup(text, "Missing", "TeX"), std::nullopt);
}

TEST(IniLookup, EmptyValueIsPresentButAbsentKeyIsNot) {
    const std::string text = "[Editor]\nEDIT=\nOther =  \n";
    EXPECT_EQ(lookup(text, "Editor", "EDIT"), "");
    EXPECT_EQ(lookup(text, "Editor", "Other"), "");
    EXPECT_EQ(lookup(text, "Editor", "EDITX"), std::nullopt);
}

TEST(IniLookup, OnePairOfMatchingEnclosingQuotesIsDropped) {
    const std::string text =
        "[S]\n"
        "a=\"C:\\Program Files\\x.exe\"\n"
        "b='single'\n"
        "c=\"\"inner\"\"\n"
        "d=\"mismatched'\n"
        "e=\"\n"
        "f= \" padded \" \n"
        "g=say \"hi\"\n"
        "h=\"\"\n";
    EXPECT_EQ(lookup(text, "S", "a"), "C:\\Program Files\\x.exe");
    EXPECT_EQ(lookup(text, "S", "b"), "single");
    EXPECT_EQ(lookup(text, "S", "c"), "\"inner\"");
    EXPECT_EQ(lookup(text, "S", "d"), "\"mismatched'");
    EXPECT_EQ(lookup(text, "S", "e"), "\"");
    EXPECT_EQ(lookup(text, "S", "f"), " padded ");
    EXPECT_EQ(lookup(text, "S", "g"), "say \"hi\"");
    EXPECT_EQ(lookup(text, "S", "h"), "");
}

TEST(IniLookup, FirstSectionAndFirstKeyWin) {
    const std::string text =
        "[S]\nk=first\nk=second\n"
        "[T]\nonlyT=1\n"
        "[s]\nk=third\nlater=4\n";
    EXPECT_EQ(lookup(text, "S", "k"), "first");
    // A key only in a later duplicate of the section is not seen.
    EXPECT_EQ(lookup(text, "S", "later"), std::nullopt);
    EXPECT_EQ(lookup(text, "T", "onlyT"), "1");
}

TEST(IniLookup, LinesThatAreNotKeysAreSkipped) {
    const std::string text =
        "orphan=before any section\n"
        "[S]\n"
        "just some words\n"
        "; a=comment\n"
        "[unclosed\n"
        "k=v\n"
        "[T] trailing words\n"
        "x==y=z\n";
    EXPECT_EQ(lookup(text, "S", "orphan"), std::nullopt);
    EXPECT_EQ(lookup(text, "S", "just some words"), std::nullopt);
    // "[unclosed" opens no section, so k still belongs to S.
    EXPECT_EQ(lookup(text, "S", "k"), "v");
    EXPECT_EQ(lookup(text, "T", "x"), "=y=z");
}

TEST(IniLookup, ByteOrderMarkLineEndsAndMissingFinalNewline) {
    EXPECT_EQ(lookup("\xEF\xBB\xBF[S]\r\nk=v\r\n", "S", "k"), "v");
    EXPECT_EQ(lookup("[S]\nk=v", "S", "k"), "v");
    EXPECT_EQ(lookup("[S]\r\na=1\nb=2\r\nc=3", "S", "c"), "3");
    EXPECT_EQ(lookup("", "S", "k"), std::nullopt);
    EXPECT_EQ(lookup("\xEF\xBB\xBF", "S", "k"), std::nullopt);
    EXPECT_EQ(lookup("no sections at all\nk=v\n", "S", "k"), std::nullopt);
}

TEST(IniLookup, MultiByteValuesComeBackByteExact) {
    // 表 and ソ end in 0x5C in CP932; the path must not be cut or changed.
    const std::string cp932Path = "C:\\\x95\x5C\\\x83\x5C\x83\x74\x83\x67\\a.tex";
    const std::string text = "[RFL]\r\nFile0=" + cp932Path + "\r\nFile1=/home/u/日本語/b.tex\r\n";
    EXPECT_EQ(lookup(text, "RFL", "File0", CodePage::Cp932), cp932Path);
    EXPECT_EQ(lookup(text, "RFL", "File1", CodePage::Utf8), "/home/u/日本語/b.tex");

    // And written back byte-exact.
    const std::string value = "C:\\\x95\x5C\\\x94\x5C\\\x83\x5C\\";
    const std::string written = write("", "RFL", "File0", value, CodePage::Cp932);
    EXPECT_EQ(lookup(written, "RFL", "File0", CodePage::Cp932), value);
    EXPECT_NE(written.find("File0=" + value + "\r\n"), std::string::npos);
}

TEST(IniLookup, TrailBytesOfNamesAreNeverCaseFolded) {
    // In CP932 0x83 0x41 and 0x83 0x61 are two different characters.
    const std::string text = "[\x83\x41]\r\nk=1\r\n[X\x83\x61]\r\nk=2\r\n";
    EXPECT_EQ(lookup(text, "\x83\x41", "k", CodePage::Cp932), "1");
    EXPECT_EQ(lookup(text, "\x83\x61", "k", CodePage::Cp932), std::nullopt);
    EXPECT_EQ(lookup(text, "x\x83\x61", "K", CodePage::Cp932), "2");
    EXPECT_EQ(lookup(text, "X\x83\x41", "k", CodePage::Cp932), std::nullopt);
    // A ']' that is the trail byte of ゾ does not close a section header.
    EXPECT_EQ(lookup("[S\x83\x5D\r\nk=1\r\n", "S\x83", "k", CodePage::Cp932), std::nullopt);
}

TEST(IniLookup, GarbageAndHugeInputNeverBreakIt) {
    std::mt19937 random(12345);
    for (int round = 0; round < 200; ++round) {
        std::string text;
        const int size = static_cast<int>(random() % 400);
        for (int i = 0; i < size; ++i) {
            // Bias toward the bytes that matter to the parser.
            static const char parserBytes[] = "[]=\r\n \t\"'\\\x5C\x83\x95";
            text += (random() % 3 == 0) ? parserBytes[random() % (sizeof parserBytes - 1)]
                                         : static_cast<char>(random() % 256);
        }
        for (CodePage cp : {CodePage::Cp932, CodePage::Utf8}) {
            (void)iniLookup(cp, text, "S", "k");
            const std::string written = iniWrite(cp, text, "S", "k", std::string_view("v"));
            EXPECT_EQ(iniLookup(cp, written, "S", "k"), "v") << "round " << round;
            const std::string deleted = iniWrite(cp, written, "S", "k", std::nullopt);
            (void)iniLookup(cp, deleted, "S", "k");
        }
    }
    std::string text = "[S]\nk=";
    text += std::string(1 << 20, 'x');
    text += "\nafter=1\n";
    text += std::string(100, '\0');
    EXPECT_EQ(lookup(text, "S", "k")->size(), std::size_t{1} << 20);
    EXPECT_EQ(lookup(text, "S", "after"), "1");
}

// ---- writing ----------------------------------------------------------------

TEST(IniWrite, ReplacingAValueKeepsEveryOtherLineByteForByte) {
    const std::string before =
        "\xEF\xBB\xBF; written by hand\r\n"
        "\r\n"
        "[Settings]\r\n"
        "  TeX =  platex  \r\n"
        "no equals here\r\n"
        "\r\n"
        "[RFL]\r\n"
        "File0=C:\\\x95\x5C\\a.tex\r\n";
    const std::string after = write(before, "settings", "tex", "uplatex", CodePage::Cp932);
    const std::string expected =
        "\xEF\xBB\xBF; written by hand\r\n"
        "\r\n"
        "[Settings]\r\n"
        "TeX=uplatex\r\n"
        "no equals here\r\n"
        "\r\n"
        "[RFL]\r\n"
        "File0=C:\\\x95\x5C\\a.tex\r\n";
    EXPECT_EQ(after, expected);
    // Writing the stored value changes nothing; a replaced key keeps the
    // file's spelling and its line end.
    EXPECT_EQ(write("[S]\r\n  k = v \r\n", "S", "K", "v"), "[S]\r\n  k = v \r\n");
    EXPECT_EQ(write("[S]\nFile0=a\r\nFile1=b", "s", "FILE1", "c"), "[S]\nFile0=a\r\nFile1=c");
    EXPECT_EQ(write("[S]\nFile0=a\r\nFile1=b", "s", "file0", "z"), "[S]\nFile0=z\r\nFile1=b");
}

TEST(IniWrite, NewKeyGoesAfterTheLastKeyLineOfTheFirstMatchingSection) {
    const std::string before =
        "[S]\n"
        "a=1\n"
        "b=2\n"
        "trailing words\n"
        "\n"
        "[T]\n"
        "x=9\n"
        "[S]\n"
        "c=3\n";
    const std::string after = write(before, "s", "New", "v");
    EXPECT_EQ(after,
              "[S]\n"
              "a=1\n"
              "b=2\n"
              "New=v\n"
              "trailing words\n"
              "\n"
              "[T]\n"
              "x=9\n"
              "[S]\n"
              "c=3\n");
    EXPECT_EQ(write("[S]\r\n\r\n[T]\r\n", "S", "k", "v"), "[S]\r\nk=v\r\n\r\n[T]\r\n");
}

TEST(IniWrite, NewSectionIsAppendedInTheFilesLineEndStyle) {
    EXPECT_EQ(write("", "Settings", "TeX", "platex"), "[Settings]\r\nTeX=platex\r\n");
    EXPECT_EQ(write("[A]\nx=1\n", "B", "k", "v"), "[A]\nx=1\n[B]\nk=v\n");
    EXPECT_EQ(write("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\nk=v\n");
    EXPECT_EQ(write("[A]", "A", "k", "v"), "[A]\r\nk=v\r\n");
    EXPECT_EQ(write("\xEF\xBB\xBF", "A", "k", "v"), "\xEF\xBB\xBF[A]\r\nk=v\r\n");
    // Only the first line end decides.
    EXPECT_EQ(write("[A]\nx=1\r\n", "B", "k", "v"), "[A]\nx=1\r\n[B]\nk=v\n");
}

TEST(IniWrite, DeletingRemovesOnlyTheFirstMatchingKeyLine) {
    const std::string before = "[S]\r\nk=1\r\nother=2\r\nK=3\r\n[T]\r\nk=4\r\n";
    const std::string after = write(before, "S", "k", std::nullopt);
    EXPECT_EQ(after, "[S]\r\nother=2\r\nK=3\r\n[T]\r\nk=4\r\n");
    // The duplicate now shows through, as it would on Windows.
    EXPECT_EQ(lookup(after, "S", "k"), "3");
    EXPECT_EQ(write("[S]\nk=1", "S", "k", std::nullopt), "[S]\n");
    EXPECT_EQ(write(before, "S", "absent", std::nullopt), before);
    EXPECT_EQ(write(before, "U", "k", std::nullopt), before);
    EXPECT_EQ(write("", "U", "k", std::nullopt), "");
}

TEST(IniWrite, TextTheLineFormatCannotHoldIsRefused) {
    const std::string before = "[S]\r\nk=v\r\n";
    EXPECT_FALSE(iniCanStore("S", "k", std::string_view("a\r\n[Evil]\r\nx=1")));
    EXPECT_FALSE(iniCanStore("S", "a=b", std::string_view("v")));
    EXPECT_FALSE(iniCanStore("S", "  ", std::string_view("v")));
    EXPECT_FALSE(iniCanStore("", "k", std::nullopt));
    EXPECT_FALSE(iniCanStore("S\n", "k", std::nullopt));
    EXPECT_TRUE(iniCanStore("S", "k", std::string_view("")));
    EXPECT_TRUE(iniCanStore("S", "k", std::string_view("a=b [c] \"d\"")));
    EXPECT_TRUE(iniCanStore("S", "k", std::nullopt));
    EXPECT_EQ(write(before, "S", "k", "a\r\n[Evil]\r\nx=1"), before);
    EXPECT_EQ(write(before, "S", "a=b", "v"), before);
}

// Writes and deletes in random order must always read back as a plain map
// of the latest values would.
TEST(IniWrite, RandomEditsAgreeWithAMap) {
    std::mt19937 random(7);
    const char* sections[] = {"Settings", "Editor", "RFL"};
    const char* keys[] = {"TeX", "Bib", "File0", "File1", "EDIT"};
    std::map<std::pair<std::string, std::string>, std::string> model;
    std::string text = "; kept\n\n";
    for (int step = 0; step < 600; ++step) {
        const std::string section = sections[random() % 3];
        const std::string key = keys[random() % 5];
        // Names arrive in any case; the model keeps the canonical one.
        std::string spelledSection = section;
        if (random() % 2) for (char& c : spelledSection) c = static_cast<char>(std::toupper(c));
        if (random() % 4 == 0) {
            text = write(text, spelledSection, key, std::nullopt);
            model.erase({section, key});
        } else {
            const std::string value = "v" + std::to_string(random() % 50) + (random() % 2 ? " x" : "");
            text = write(text, spelledSection, key, value);
            model[{section, key}] = value;
        }
        for (const char* s : sections) {
            for (const char* k : keys) {
                const auto found = model.find({s, k});
                const auto expected = found == model.end() ? std::nullopt : std::optional(found->second);
                ASSERT_EQ(lookup(text, s, k), expected) << "step " << step << "\n" << text;
            }
        }
    }
    EXPECT_EQ(text.substr(0, 8), "; kept\n\n");
}

// ---- numbers and the read buffer -------------------------------------------

TEST(ProfileIntFromText, ReadsTheNumberTheValueBeginsWith) {
    const std::pair<const char*, int> cases[] = {
        {"12abc", 12}, {"abc", 0}, {"-5", -5}, {"+7", 7}, {"0X1f", 0}, {"\t42", 42}, {"007", 7},
        {"0b101", 5}, {"0o17", 15}, {"\x01" "5", 5}, {"000000000000000000000000000001", 0},
        {"0x", 0}, {"-0x10", -16}, {"- 3", 0}, {"", 0}, {"4294967295", -1}, {"4294967296", 0},
        {"-2147483648", -2147483647 - 1}, {"99999999999", 1215752191}, {"\x95\x5C" "1", 0},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(profileIntFromText(text), expected) << '"' << text << '"';
    }
}

TEST(LimitProfileString, KeepsAtMost4095BytesCuttingUtf8OnlyBetweenCharacters) {
    std::string value;
    while (value.size() < 5000) value += "\x95\x5C";
    const std::string cut = limitProfileString(CodePage::Cp932, value);
    ASSERT_EQ(cut.size(), 4095u);
    EXPECT_EQ(cut, value.substr(0, 4095));
    EXPECT_EQ(limitProfileString(CodePage::Cp932, std::string(4095, 'a')), std::string(4095, 'a'));
    EXPECT_EQ(limitProfileString(CodePage::Cp932, ""), "");
    // 1365 three-byte characters fill 4095 bytes; one byte before them
    // leaves no room for the last.
    std::string utf8 = "x";
    for (int i = 0; i < 1400; ++i) utf8 += "\xE8\xA1\xA8";  // 表, whatever the build's own code page
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8).size(), 1u + 3 * 1364);
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8.substr(1)).size(), 4095u);
}

}  // namespace
}  // namespace kestro

// Kestro.ini: the INI text as the Win32 profile functions read and write
// it, the settings operations, and what the bar loads at start-up.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <random>

#include "FakePlatform.h"
#include "settings/IniText.h"
#include "settings/SettingsLoad.h"

namespace kestro {
namespace {

using fake::FakeBar;
using Value = std::optional<std::string>;

Value lookup(std::string_view text, std::string_view section, std::string_view key, CodePage cp = CodePage::Utf8) {
    return iniLookup(cp, text, section, key);
}
std::string write(std::string_view text, std::string_view section, std::string_view key,
                  std::optional<std::string_view> value, CodePage cp = CodePage::Utf8) {
    return iniWrite(cp, text, section, key, value);
}

TEST(IniText, LookupDropsBlanksAndOnePairOfQuotesAndIgnoresCase) {
    const std::string text =
        "orphan=before any section\n[Settings]\r\n  Bib  =  pbibtex  \r\njust words\n[unclosed\nk=v\n"
        "a=\"C:\\Program Files\\x.exe\"\nb='single'\nc=\"mismatched'\nd=\"\"inner\"\"\nempty=\nx==y\nk=second\n"
        "[ Editor ] trailing words\nEDIT=\n[settings]\nlater=1\n";
    const std::tuple<const char*, const char*, Value> cases[] = {
        {"SETTINGS", "bib", "pbibtex"}, {"Settings", "orphan", std::nullopt}, {"Settings", "k", "v"},
        {"Settings", "a", "C:\\Program Files\\x.exe"}, {"Settings", "b", "single"},
        {"Settings", "c", "\"mismatched'"}, {"Settings", "d", "\"inner\""}, {"Settings", "empty", ""},
        {"Settings", "x", "=y"}, {"Settings", "just words", std::nullopt}, {"editor", "edit", ""},
        {"Editor", "EDITX", std::nullopt}, {"Settings", "later", std::nullopt},  // only the first section counts
    };
    for (const auto& [section, key, value] : cases) EXPECT_EQ(lookup(text, section, key), value) << key;
    EXPECT_EQ(lookup("\xEF\xBB\xBF[S]\r\nk=v", "S", "k"), "v");
    // In CP932 0x83 0x41 and 0x83 0x61 are different characters, and the
    // trail byte ']' of 0x83 0x5D closes no section.
    const std::string cp932 = "[\x83\x41]\r\nk=1\r\n[S\x83\x5D\r\nk=2\r\n";
    EXPECT_EQ(lookup(cp932, "\x83\x41", "K", CodePage::Cp932), "1");
    EXPECT_EQ(lookup(cp932, "\x83\x61", "k", CodePage::Cp932), std::nullopt);
    EXPECT_EQ(lookup(cp932, "S\x83", "k", CodePage::Cp932), std::nullopt);
}

TEST(IniText, WritingChangesOnlyTheKeysLine) {
    const std::string before = "\xEF\xBB\xBF; by hand\r\n[Settings]\r\n  TeX =  platex  \r\nwords\r\n[RFL]\r\nFile0=C:\\\x95\x5C\r\n";
    EXPECT_EQ(write(before, "settings", "tex", "uplatex", CodePage::Cp932),
              "\xEF\xBB\xBF; by hand\r\n[Settings]\r\nTeX=uplatex\r\nwords\r\n[RFL]\r\nFile0=C:\\\x95\x5C\r\n");
    EXPECT_EQ(write("[S]\r\n  k = v \r\n", "S", "K", "v"), "[S]\r\n  k = v \r\n");
    // A new key follows the section's last key line, in the file's line ends.
    EXPECT_EQ(write("[S]\na=1\nwords\n[T]\nx=9\n[S]\nc=3\n", "s", "New", "v"),
              "[S]\na=1\nNew=v\nwords\n[T]\nx=9\n[S]\nc=3\n");
    EXPECT_EQ(write("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\nk=v\n");
    EXPECT_EQ(write("", "Settings", "TeX", "platex"), "[Settings]\r\nTeX=platex\r\n");
    EXPECT_EQ(write("[A]\nx=1\r\n", "B", "k", "v"), "[A]\nx=1\r\n[B]\nk=v\n");
    // Deleting removes the first matching line; a later one shows through.
    EXPECT_EQ(write("[S]\r\nk=1\r\nK=3\r\n", "S", "k", std::nullopt), "[S]\r\nK=3\r\n");
    EXPECT_EQ(write("[S]\r\n", "U", "k", std::nullopt), "[S]\r\n");
    // What the line format cannot hold is refused, so no key can be planted.
    const std::pair<std::string, std::string> refused[] = {{"k", "a\r\n[Evil]\r\nx=1"}, {"a=b", "v"}, {"  ", "v"},
                                                           {"[k", "v"}};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(write("[S]\r\nk=v\r\n", "S", key, value), "[S]\r\nk=v\r\n") << key;
    }
}

// Writes and deletes in random order read back as a plain map of the latest
// values would.
TEST(IniText, RandomEditsAgreeWithAMap) {
    std::mt19937 random(7);
    const char* sections[] = {"Settings", "Editor", "RFL"};
    const char* keys[] = {"TeX", "Bib", "File0", "File1", "EDIT"};
    std::map<std::pair<std::string, std::string>, std::string> model;
    std::string text = "; kept\n\n";
    for (int step = 0; step < 600; ++step) {
        const std::string section = sections[random() % 3], key = keys[random() % 5];
        std::string spelled = section;
        if (random() % 2) for (char& c : spelled) c = static_cast<char>(std::toupper(c));
        if (random() % 4 == 0) {
            text = write(text, spelled, key, std::nullopt);
            model.erase({section, key});
        } else {
            const std::string value = "v" + std::to_string(random() % 50) + (random() % 2 ? " x" : "");
            text = write(text, spelled, key, value);
            model[{section, key}] = value;
        }
        for (const char* s : sections) {
            for (const char* k : keys) {
                const auto found = model.find({s, k});
                ASSERT_EQ(lookup(text, s, k), found == model.end() ? Value() : Value(found->second)) << step << text;
            }
        }
    }
    EXPECT_EQ(text.substr(0, 8), "; kept\n\n");
}

TEST(IniText, NumbersAndTheReadBufferAsWindowsReadsThem) {
    const std::pair<const char*, int> numbers[] = {
        {"12abc", 12}, {"-5", -5}, {"0X1f", 0}, {"\t42", 42}, {"0b101", 5}, {"0o17", 15}, {"\x01" "5", 5},
        {"000000000000000000000000000001", 0}, {"00000000000000000000000000001", 1}, {"-0x10", -16},
        {"4294967295", -1}, {"99999999999", 1215752191},
    };
    for (const auto& [text, number] : numbers) EXPECT_EQ(profileIntFromText(text), number) << text;
    std::string cp932;
    while (cp932.size() < 5000) cp932 += "\x95\x5C";
    EXPECT_EQ(limitProfileString(CodePage::Cp932, cp932), cp932.substr(0, 4095));
    std::string utf8 = "x";
    while (utf8.size() < 4200) utf8 += "\xE8\xA1\xA8";
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8).size(), 1u + 3 * 1364);
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8.substr(1)).size(), 4095u);
}

// An empty value reads as the default number but as an empty text; a
// write that changes nothing writes nothing; a failed write is reported
// once, also one before the handler came; an empty path touches nothing.
TEST(SettingsFile, ReadsWritesFailuresAndTheEmptyPath) {
    FakeBar bar(PlatformRules::posix());
    bar.store.setFile("/start/Kestro.ini", "[Editor]\r\nEDIT=\r\n[Settings]\r\nPdfSizeNo=\r\n");
    EXPECT_EQ(bar.settings.readSettingString("Editor", "EDIT", "xdg-open"), "");
    EXPECT_EQ(bar.settings.readSettingInt("Settings", "PdfSizeNo", 1), 1);
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", -13);
    EXPECT_EQ(bar.settings.readSettingInt("Settings", "PdfSizeNo", 1), -13);
    const int writes = bar.store.writes;
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", -13);
    bar.settings.deleteSetting("Other", "Absent");
    EXPECT_EQ(bar.store.writes, writes);
    std::vector<std::string> reported;
    bar.store.failWrites = true;
    bar.settings.writeSettingInt("Settings", "Acr", 1);
    bar.settings.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });
    bar.settings.deleteSetting("Editor", "EDIT");
    bar.settings.writeSettingString("RFL", "File0", "/tmp/a\n[Settings]\nTeX=/tmp/evil");
    EXPECT_EQ(reported, std::vector<std::string>{"/start/Kestro.ini"});
    FakeBar none(PlatformRules::windows(), "");
    none.settings.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });
    EXPECT_EQ(none.settings.readSettingInt("Settings", "Acr", 3), 3);
    none.settings.writeSettingString("Settings", "TeX", "uplatex");
    none.settings.deleteSetting("Settings", "TeX");
    EXPECT_EQ(none.store.reads + none.store.writes, 0);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_FALSE(none.profile.writeString("", "Settings", "TeX", std::string("x")));
}

// The stored paper keys and what start-up makes of them: the size survives
// only with "from now on"; "until the next start" is erased with the size.
TEST(StartupLoad, PaperKeysAndToolDefaults) {
    const std::tuple<const char*, int, int, int, const char*, const char*> cases[] = {
        {"", 1, 0, 0, "0", "1"},
        {"PdfNeShow=1\r\nPdfSizeNo=10\r\nPdfNShow=1", 10, 1, 1, "1", "10"},
        {"PdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=7", 1, 0, 0, "0", "1"},
        {"PdfNeShow=1", 1, 1, 1, "<absent>", "<absent>"},
    };
    for (const auto& [stored, sizeNo, sticky, never, nShowAfter, sizeNoAfter] : cases) {
        SCOPED_TRACE(stored);
        FakeBar bar(PlatformRules::windows());
        bar.store.setFile("C:\\start\\Kestro.ini", std::string("[Settings]\r\n") + stored + "\r\n");
        BarState state;
        loadPaperGroup(state, bar.settings);
        loadToolGroup(state, bar.settings, bar.rules);
        EXPECT_EQ(state.paperSizeNo, sizeNo);
        EXPECT_EQ(state.paperSizeSticky, sticky);
        EXPECT_EQ(state.paperDialogNever, never);
        EXPECT_EQ(bar.setting("Settings", "PdfNShow"), nShowAfter);
        EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), sizeNoAfter);
        EXPECT_EQ(state.indexOptions, "-s myindex");
    }
}

}  // namespace
}  // namespace kestro

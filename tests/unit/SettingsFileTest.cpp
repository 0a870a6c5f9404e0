#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "settings/IniProfile.h"
#include "settings/IniText.h"

namespace kestro {
namespace {

// Files in memory; writes can be made to fail, as in a read-only directory.
class MemoryFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override {
        ++reads;
        const auto found = files.find(path);
        if (found == files.end()) return std::nullopt;
        return found->second;
    }

    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override {
        ++updates;
        const auto found = files.find(path);
        const std::optional<std::string> current =
            found == files.end() ? std::nullopt : std::optional<std::string>(found->second);
        const std::optional<std::string> next = edit(current);
        if (!next) return true;
        if (failWrites) return false;
        ++writes;
        files[path] = *next;
        return true;
    }

    std::map<std::string, std::string> files;
    bool failWrites = false;
    int reads = 0;
    int updates = 0;
    int writes = 0;
};

const std::string kPath = "/home/u/Kestro.ini";

class SettingsFileTest : public ::testing::Test {
protected:
    MemoryFileStore files;
    IniProfile profile{files, CodePage::Utf8};
    SettingsFile settings{profile, kPath};
};

TEST_F(SettingsFileTest, AbsentKeysGiveTheDefaultEmptyValuesDoNotForStrings) {
    EXPECT_EQ(settings.readSettingString("Editor", "EDIT", "xdg-open"), "xdg-open");
    EXPECT_EQ(settings.readSettingString("Editor", "EDIT"), "");
    EXPECT_EQ(settings.readSettingInt("Settings", "PdfSizeNo", 1), 1);

    files.files[kPath] = "[Editor]\r\nEDIT=\r\n[Settings]\r\nPdfSizeNo=\r\nAcr=\"\"\r\n";
    EXPECT_EQ(settings.readSettingString("Editor", "EDIT", "xdg-open"), "");
    // GetPrivateProfileIntA gives the default for an empty value as well.
    EXPECT_EQ(settings.readSettingInt("Settings", "PdfSizeNo", 1), 1);
    EXPECT_EQ(settings.readSettingInt("Settings", "Acr", 5), 5);
}

TEST_F(SettingsFileTest, WritesCreateTheFileAndReadBack) {
    settings.writeSettingInt("Settings", "PdfNShow", 0);
    settings.writeSettingInt("Settings", "PdfSizeNo", -13);
    settings.writeSettingString("Editor", "EDIT", "/usr/bin/emacs");
    EXPECT_EQ(files.files[kPath],
              "[Settings]\r\nPdfNShow=0\r\nPdfSizeNo=-13\r\n[Editor]\r\nEDIT=/usr/bin/emacs\r\n");
    EXPECT_EQ(settings.readSettingInt("Settings", "PdfSizeNo", 1), -13);
    EXPECT_EQ(settings.readSettingString("Editor", "EDIT", "x"), "/usr/bin/emacs");

    settings.deleteSetting("Editor", "EDIT");
    EXPECT_EQ(settings.readSettingString("Editor", "EDIT", "xdg-open"), "xdg-open");
}

TEST_F(SettingsFileTest, RewritingTheStoredValueOrDeletingNothingWritesNothing) {
    settings.writeSettingInt("Settings", "PdfNShow", 0);
    ASSERT_EQ(files.writes, 1);
    settings.writeSettingInt("Settings", "PdfNShow", 0);
    settings.deleteSetting("Settings", "Absent");
    settings.deleteSetting("Other", "Absent");
    EXPECT_EQ(files.writes, 1);

    // Nothing to delete in a file that does not exist: no file appears.
    files.files.clear();
    settings.deleteSetting("Settings", "TeX");
    EXPECT_TRUE(files.files.empty());
}

TEST_F(SettingsFileTest, FailedWritesAreReportedOnceAndChangeNothing) {
    files.files[kPath] = "[Settings]\r\nTeX=platex\r\n";
    std::vector<std::string> reported;
    settings.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });

    files.failWrites = true;
    settings.writeSettingString("Settings", "TeX", "uplatex");
    settings.writeSettingInt("Settings", "Acr", 1);
    settings.deleteSetting("Settings", "TeX");
    EXPECT_EQ(reported, std::vector<std::string>{kPath});
    EXPECT_EQ(settings.readSettingString("Settings", "TeX", "platex"), "platex");
    EXPECT_EQ(files.files[kPath], "[Settings]\r\nTeX=platex\r\n");

    // A write that needs no change is no failure.
    reported.clear();
    SettingsFile again(profile, kPath);
    again.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });
    again.writeSettingString("Settings", "TeX", "platex");
    EXPECT_TRUE(reported.empty());
}

TEST_F(SettingsFileTest, FailureBeforeAHandlerIsSetIsReportedAtTheNextOne) {
    files.failWrites = true;
    settings.writeSettingInt("Settings", "Acr", 1);
    int calls = 0;
    settings.onFirstWriteFailure([&](const std::string&) { ++calls; });
    settings.writeSettingInt("Settings", "Acr", 1);
    settings.writeSettingInt("Settings", "Acr", 1);
    EXPECT_EQ(calls, 1);
}

TEST_F(SettingsFileTest, AValueWithALineBreakIsRefusedAndCannotPlantKeys) {
    int failures = 0;
    settings.onFirstWriteFailure([&](const std::string&) { ++failures; });
    settings.writeSettingString("RFL", "File0", "/tmp/a\n[Settings]\nTeX=/tmp/evil");
    EXPECT_EQ(failures, 1);
    EXPECT_EQ(files.writes, 0);
    EXPECT_EQ(settings.readSettingString("Settings", "TeX", "platex"), "platex");
}

TEST(SettingsFileEmptyPath, ReadsGiveDefaultsAndNothingIsTouched) {
    MemoryFileStore files;
    files.files[""] = "[Settings]\nTeX=elsewhere\n";
    IniProfile profile(files, CodePage::Utf8);
    SettingsFile settings(profile, "");
    int failures = 0;
    settings.onFirstWriteFailure([&](const std::string&) { ++failures; });

    EXPECT_EQ(settings.readSettingString("Settings", "TeX", "platex"), "platex");
    EXPECT_EQ(settings.readSettingInt("Settings", "Acr", 3), 3);
    settings.writeSettingString("Settings", "TeX", "uplatex");
    settings.writeSettingInt("Settings", "Acr", 1);
    settings.deleteSetting("Settings", "TeX");
    EXPECT_EQ(files.reads + files.updates, 0);
    EXPECT_EQ(failures, 0);

    // The profile layer on its own refuses an empty name too.
    EXPECT_EQ(profile.getString("", "Settings", "TeX", "d"), "d");
    EXPECT_EQ(profile.getInt("", "Settings", "Acr", 4), 4);
    EXPECT_FALSE(profile.writeString("", "Settings", "TeX", std::string("x")));
    EXPECT_EQ(files.reads + files.updates, 0);
}

}  // namespace
}  // namespace kestro

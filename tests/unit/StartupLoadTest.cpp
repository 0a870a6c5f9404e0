// Start-up: the settings path, the command-line document, and the load of
// the bar's fields with the writes it makes.
#include <gtest/gtest.h>

#include "app/BarApp.h"
#include "app/BarWindow.h"
#include "FakePlatform.h"

namespace kestro {
namespace {

using testing::FakeBar;

TEST(StartupPath, WindowsJoinsTheWorkingDirectoryByPlainConcatenation) {
    const PlatformRules win = PlatformRules::windows();
    EXPECT_EQ(settingsPathForStart(win, std::string("C:\\work")), "C:\\work\\Kestro.ini");
    EXPECT_EQ(settingsPathForStart(win, std::string("C:\\")), "C:\\\\Kestro.ini");
    EXPECT_EQ(settingsPathForStart(win, std::nullopt), "");
    EXPECT_EQ(settingsPathForStart(win, std::string(255, 'a')), std::string(255, 'a') + "\\Kestro.ini");
    EXPECT_EQ(settingsPathForStart(win, std::string(256, 'a')), "");
}

TEST(StartupPath, LinuxUsesSlashAndNoWindowsLimit) {
    const PlatformRules posix = PlatformRules::posix();
    EXPECT_EQ(settingsPathForStart(posix, std::string("/home/u")), "/home/u/Kestro.ini");
    const std::string deep = "/" + std::string(400, 'd');
    EXPECT_EQ(settingsPathForStart(posix, deep), deep + "/Kestro.ini");
}

TEST(StartupDocument, OnePairOfEnclosingQuotesIsDropped) {
    EXPECT_EQ(documentFromCommandTail("\"C:\\work\\paper.tex\""), "C:\\work\\paper.tex");
    EXPECT_EQ(documentFromCommandTail("C:\\my work\\paper.tex"), "C:\\my work\\paper.tex");
    EXPECT_EQ(documentFromCommandTail("\"\"a.tex\"\""), "\"a.tex\"");
    EXPECT_EQ(documentFromCommandTail("\"a.tex"), "\"a.tex");
    EXPECT_EQ(documentFromCommandTail("\""), "\"");
    EXPECT_EQ(documentFromCommandTail(""), "");
}

TEST(StartupLoad, FirstStartWritesThePaperKeysAndUsesTheDefaults) {
    FakeBar fake(PlatformRules::windows());
    BarWindow bar(fake.services, "");
    bar.initialise();
    EXPECT_EQ(fake.setting("Settings", "PdfNShow"), "0");
    EXPECT_EQ(fake.setting("Settings", "PdfNeShow"), "0");
    EXPECT_EQ(fake.setting("Settings", "PdfSizeNo"), "1");
    const BarState& s = bar.state();
    EXPECT_EQ(s.paperSizeNo, 1);
    EXPECT_EQ(s.paperSizeSticky, 0);
    EXPECT_EQ(s.editorPath, "c:\\WINDOWS\\NOTEPAD.exe");
    EXPECT_EQ(s.texCommand, "platex");
    EXPECT_EQ(s.bibtexCommand, "jbibtex");
    EXPECT_EQ(s.dvipdfCommand, "dvipdfmx");
    EXPECT_EQ(s.indexCommand, "mendex");
    EXPECT_EQ(s.indexOptions, "-s myindex");
    EXPECT_EQ(s.indexDialogNever, 0);
    EXPECT_EQ(s.acrSetting, 0);
    EXPECT_EQ(s.historyCapacity, 16);
    EXPECT_TRUE(s.documentPath.empty());
    // The tool keys are only read, never written, at start-up.
    EXPECT_FALSE(fake.hasSetting("Settings", "TeX"));
    EXPECT_FALSE(fake.hasSetting("Editor", "EDIT"));
}

TEST(StartupLoad, LinuxDefaultsNameTheLinuxTools) {
    FakeBar fake(PlatformRules::posix());
    BarWindow bar(fake.services, "");
    bar.initialise();
    EXPECT_EQ(bar.state().bibtexCommand, "pbibtex");
    EXPECT_EQ(bar.state().editorPath, "xdg-open");
}

TEST(StartupLoad, PaperSizeSurvivesOnlyWithFromNowOn) {
    FakeBar fake(PlatformRules::windows());
    fake.store.setFile(fake.settings.path(), "[Settings]\r\nPdfNeShow=1\r\nPdfSizeNo=10\r\nPdfNShow=1\r\n");
    BarWindow bar(fake.services, "");
    bar.initialise();
    EXPECT_EQ(bar.state().paperSizeSticky, 1);
    EXPECT_EQ(bar.state().paperSizeNo, 10);
    EXPECT_EQ(bar.state().paperDialogNever, 1);
    // Nothing is reset while "from now on" holds.
    EXPECT_EQ(fake.setting("Settings", "PdfNShow"), "1");
}

TEST(StartupLoad, UntilNextStartIsErasedWithTheChosenSize) {
    FakeBar fake(PlatformRules::windows());
    fake.store.setFile(fake.settings.path(), "[Settings]\r\nPdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=7\r\n");
    BarWindow bar(fake.services, "");
    bar.initialise();
    EXPECT_EQ(bar.state().paperSizeSticky, 0);
    EXPECT_EQ(bar.state().paperSizeNo, 1);
    EXPECT_EQ(fake.setting("Settings", "PdfNShow"), "0");
    EXPECT_EQ(fake.setting("Settings", "PdfSizeNo"), "1");
}

TEST(StartupLoad, OddStoredPaperValues) {
    {
        FakeBar fake(PlatformRules::windows());
        fake.store.setFile(fake.settings.path(), "[Settings]\r\nPdfNeShow=1\r\n");
        BarWindow bar(fake.services, "");
        bar.initialise();
        EXPECT_EQ(bar.state().paperSizeNo, 1);
    }
    {
        FakeBar fake(PlatformRules::windows());
        fake.store.setFile(fake.settings.path(), "[Settings]\r\nPdfNeShow=1\r\nPdfSizeNo=abc\r\n");
        BarWindow bar(fake.services, "");
        bar.initialise();
        EXPECT_EQ(bar.state().paperSizeNo, 0);
    }
}

TEST(StartupLoad, AnEmptyStoredValueIsUsedAsStored) {
    FakeBar fake(PlatformRules::windows());
    fake.store.setFile(fake.settings.path(), "[Editor]\r\nEDIT=\r\n[Settings]\r\nMkIdxOpt=\r\nTeX=uplatex\r\n");
    BarWindow bar(fake.services, "");
    bar.initialise();
    EXPECT_EQ(bar.state().editorPath, "");
    EXPECT_EQ(bar.state().indexOptions, "");
    EXPECT_EQ(bar.state().texCommand, "uplatex");
}

TEST(StartupLoad, AnEmptySettingsPathReadsDefaultsAndWritesNothing) {
    FakeBar fake(PlatformRules::windows(), "");
    SettingsFile noFile(fake.profile, "");
    Services services{fake.rules, noFile, fake.files, fake.processes, fake.ui, "Kestro"};
    BarWindow bar(services, "C:\\work\\paper.tex");
    bar.initialise();
    bar.endRun();
    EXPECT_EQ(fake.store.writes(), 0);
    EXPECT_EQ(bar.state().texCommand, "platex");
    EXPECT_EQ(bar.state().documentStem, "paper");
}

TEST(SettingsWriteFailure, TheUserIsToldOncePerRun) {
    FakeBar fake(PlatformRules::windows());
    fake.store.failWrites(true);
    BarWindow bar(fake.services, "C:\\a\\paper.tex");
    bar.initialise();  // the paper keys are written here
    bar.acceptDroppedFile({"C:\\a\\other.tex"});
    bar.endRun();      // and the history here
    ASSERT_EQ(fake.ui.boxes().size(), 1u);
    EXPECT_EQ(fake.ui.boxes()[0].text,
              "設定ファイル \"C:\\start\\Kestro.ini\" に書き込めません。\n設定は保存されません。");
    EXPECT_EQ(fake.ui.boxes()[0].owner, BoxOwner::Bar);
    // The run itself goes on with the values in memory.
    EXPECT_EQ(bar.state().documentStem, "other");
}

}  // namespace
}  // namespace kestro

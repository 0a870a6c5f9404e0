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
    EXPECT_EQ(settingsPathForStart(win, std::nullopt), "");
    EXPECT_EQ(settingsPathForStart(win, std::string(255, 'a')), std::string(255, 'a') + "\\Kestro.ini");
    EXPECT_EQ(settingsPathForStart(win, std::string(256, 'a')), "");
    EXPECT_EQ(win.settingsPathFor(""), "");
}

TEST(StartupPath, LinuxUsesSlashAndNoWindowsLimit) {
    const PlatformRules posix = PlatformRules::posix();
    EXPECT_EQ(settingsPathForStart(posix, std::string("/home/u")), "/home/u/Kestro.ini");
    EXPECT_EQ(settingsPathForStart(posix, std::string("/")), "//Kestro.ini");
    EXPECT_EQ(posix.settingsPathFor(""), "");
    const std::string deep = "/" + std::string(400, 'd');
    EXPECT_EQ(settingsPathForStart(posix, deep), deep + "/Kestro.ini");
}

TEST(StartupDocument, OnePairOfEnclosingQuotesIsDropped) {
    EXPECT_EQ(documentFromCommandTail("\"C:\\work\\paper.tex\""), "C:\\work\\paper.tex");
    EXPECT_EQ(documentFromCommandTail("C:\\my work\\paper.tex"), "C:\\my work\\paper.tex");
    EXPECT_EQ(documentFromCommandTail("\"\"a.tex\"\""), "\"a.tex\"");
    EXPECT_EQ(documentFromCommandTail("\""), "\"");
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
    EXPECT_EQ(s.bibtexCommand, "jbibtex");
    EXPECT_EQ(s.indexOptions, "-s myindex");
    // The tool keys are only read, never written, at start-up.
    EXPECT_FALSE(fake.hasSetting("Settings", "TeX"));
    EXPECT_FALSE(fake.hasSetting("Editor", "EDIT"));
}

// The stored paper keys and what start-up makes of them: the size survives
// only with "from now on"; "until the next start" is erased with the size.
TEST(StartupLoad, PaperKeysAtStart) {
    struct Case {
        const char* stored;
        int sizeNo, sticky, never;
        const char* nShowAfter;
        const char* sizeNoAfter;
    };
    const Case cases[] = {
        {"PdfNeShow=1\r\nPdfSizeNo=10\r\nPdfNShow=1", 10, 1, 1, "1", "10"},
        {"PdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=7", 1, 0, 0, "0", "1"},
        {"PdfNeShow=1", 1, 1, 1, "<absent>", "<absent>"},
        {"PdfNeShow=1\r\nPdfSizeNo=abc", 0, 1, 1, "<absent>", "abc"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        FakeBar fake(PlatformRules::windows());
        fake.store.setFile(fake.settings.path(), std::string("[Settings]\r\n") + c.stored + "\r\n");
        BarWindow bar(fake.services, "");
        bar.initialise();
        EXPECT_EQ(bar.state().paperSizeNo, c.sizeNo);
        EXPECT_EQ(bar.state().paperSizeSticky, c.sticky);
        EXPECT_EQ(bar.state().paperDialogNever, c.never);
        EXPECT_EQ(fake.setting("Settings", "PdfNShow"), c.nShowAfter);
        EXPECT_EQ(fake.setting("Settings", "PdfSizeNo"), c.sizeNoAfter);
    }
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

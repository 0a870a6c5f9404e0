// The bar: the document and its history, the dispatcher, the editor and
// the console, the settings panel, and the texts the bar shows.
#include <gtest/gtest.h>

#include <new>

#include "FakePlatform.h"
#include "app/BarWindow.h"
#include "build/DocumentDirectory.h"
#include "document/EditorAndPrompt.h"
#include "settings/SettingsLoad.h"

namespace kestro::fake {
namespace {

using Texts = std::vector<std::string>;

class BarTest : public ::testing::Test {
protected:
    // A bar started on a settings file holding `stored` as its history.
    BarWindow& start(const Texts& stored, const std::string& tail = "", bool windows = true) {
        bar.reset();
        fake = std::make_unique<FakeBar>(windows ? PlatformRules::windows() : PlatformRules::posix());
        std::string text = "[RFL]\r\n";
        for (std::size_t i = 0; i < stored.size(); ++i) text += "File" + std::to_string(i) + "=" + stored[i] + "\r\n";
        fake->store.setFile(fake->settings.path(), text);
        bar = std::make_unique<BarWindow>(fake->services, tail);
        bar->initialise();
        return *bar;
    }
    const Texts& entries() const { return bar->history().entries(); }
    static Texts numbered(int count) {
        Texts entries;
        for (int i = 0; i < count; ++i) entries.push_back("C:\\d\\doc" + std::to_string(i) + ".tex");
        return entries;
    }

    std::unique_ptr<FakeBar> fake;
    std::unique_ptr<BarWindow> bar;
};

// The history is read up to its first empty key; the command line's
// document goes on top without cutting the list, even when an older entry
// names it too; sixteen are written back at the end.
TEST_F(BarTest, TheStartUpDocumentGoesOnTopAndSixteenAreKept) {
    start({"C:\\work\\paper.final.tex", "C:\\old\\a.tex", "", "C:\\e.tex"});
    EXPECT_EQ(entries(), (Texts{"C:\\work\\paper.final.tex", "C:\\old\\a.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_EQ(bar->state().documentStem, "paper.final");
    start(numbered(16), "\"C:\\d\\doc3.tex\"");
    EXPECT_EQ(bar->history().count(), 17);
    EXPECT_EQ(bar->history().text(0), "C:\\d\\doc3.tex");
    bar->acceptDroppedFile({"C:\\x\\new.tex"});
    EXPECT_EQ(bar->history().count(), 17);
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File1"), "C:\\d\\doc3.tex");
    EXPECT_EQ(fake->setting("RFL", "File15"), "C:\\d\\doc13.tex");
    EXPECT_EQ(fake->setting("RFL", "File16"), "<absent>");
}

// A drop takes the first file, only a .tex or .TEX one, and shows it
// without selecting it; the file dialog's choice is selected.
TEST_F(BarTest, DropsAndTheFileDialogChangeTheDocument) {
    start(numbered(16));
    for (const char* rejected : {"C:\\a\\notes.txt", "C:\\a\\paper.Tex", "C:\\a.tex\\paper"}) {
        bar->acceptDroppedFile({rejected, "C:\\a\\b.tex"});
    }
    EXPECT_EQ(fake->ui.boxes.size(), 3u);
    EXPECT_EQ(bar->state().documentStem, "doc0");
    bar->acceptDroppedFile({"C:\\a\\PAPER.TEX"});
    EXPECT_EQ(bar->state().documentStem, "PAPER");
    EXPECT_EQ(bar->history().editText(), "C:\\a\\PAPER.TEX");
    EXPECT_NE(bar->history().selection(), 0);
    EXPECT_EQ(entries().back(), "C:\\d\\doc14.tex");
    EXPECT_EQ(fake->ui.count("focus history"), 1);
    fake->ui.files = {std::string("C:\\b\\chosen.tex"), std::nullopt};
    bar->chooseDocumentFile();
    bar->chooseDocumentFile();
    EXPECT_EQ(bar->state().documentStem, "chosen");
    EXPECT_EQ(bar->history().selection(), 0);
}

// Windows matches names without case, so a listed document moves to the
// top; on Linux names that differ by case are different documents.
TEST_F(BarTest, AListedDocumentMovesToTheTopUnderThePlatformsCaseRule) {
    start({"C:\\a\\one.tex", "C:\\a\\two.tex"});
    bar->acceptDroppedFile({"c:\\A\\TWO.tex"});
    EXPECT_EQ(entries(), (Texts{"c:\\A\\TWO.tex", "C:\\a\\one.tex"}));
    start({"/a/Paper.tex"}, "", false);
    bar->acceptDroppedFile({"/a/paper.tex"});
    EXPECT_EQ(entries(), (Texts{"/a/paper.tex", "/a/Paper.tex"}));
}

// A pick moves an entry whose file exists to the top; one whose file is
// gone leaves the list without a word. Slots above the list are cleared at
// the end, so the next start shows what the user last saw.
TEST_F(BarTest, PicksMoveOrForgetEntriesAndTheWriteBackClearsTheRest) {
    start({"C:\\a\\0.tex", "C:\\a\\1.tex", "C:\\a\\gone.tex", "C:\\a\\3.tex"});
    fake->files.write("C:\\a\\3.tex", "x");
    bar->pickHistoryEntry(3);
    EXPECT_EQ(entries(), (Texts{"C:\\a\\3.tex", "C:\\a\\0.tex", "C:\\a\\1.tex", "C:\\a\\gone.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_EQ(bar->state().documentStem, "3");
    bar->pickHistoryEntry(3);
    bar->pickHistoryEntry(-1);
    EXPECT_EQ(entries(), (Texts{"C:\\a\\3.tex", "C:\\a\\0.tex", "C:\\a\\1.tex"}));
    EXPECT_EQ(bar->state().documentStem, "3");
    EXPECT_TRUE(fake->ui.boxes.empty());
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File2"), "C:\\a\\1.tex");
    EXPECT_EQ(fake->setting("RFL", "File3"), "<absent>");
    // Every ending calls endRun: the history is written once, odd bytes kept.
    const std::string odd = "C:\\\x81\\x\x82.tex";
    bar->acceptDroppedFile({odd});
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File0"), "C:\\a\\3.tex");
    start({odd});
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File0"), odd);
}

// File errors end the operation with the stop box, memory errors with a
// system-modal one; no document directory is no directory to enter.
TEST_F(BarTest, TheDispatcherShowsFileAndMemoryErrors) {
    start({});
    bar->dispatch([] { throw FileError(FileErrorCause::NotFound, "a.log"); });
    bar->dispatch([] { throw MemoryError(); });
    ASSERT_EQ(fake->ui.boxes.size(), 2u);
    EXPECT_EQ(fake->ui.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(fake->ui.boxes[1].systemModal && fake->ui.boxes[1].icon == BoxIcon::Exclamation);
    enterDocumentDirectory(BarState(), fake->services);
    EXPECT_TRUE(fake->files.directoryChanges.empty());
    struct Exhausted : MemoryFileSystem {
        std::string readWholeFile(const std::string&) override { throw std::bad_alloc(); }
    } exhausted;
    EXPECT_THROW(readWholeFile(exhausted, "big.log"), MemoryError);
}

TEST(TheBarsTexts, EveryMessageItsTooltipsAndTheVersionCommand) {
    // The texts of the file errors, with the name in place of %1.
    const std::pair<FileErrorCause, std::string> causes[] = {
        {FileErrorCause::NotFound, "a.log が見つかりませんでした。"},
        {FileErrorCause::InvalidPath, "a.log には無効なﾊﾟｽが含まれています。"},
        {FileErrorCause::TooManyOpenFiles, "開いているﾌｧｲﾙが多すぎるため、a.log を開けませんでした。"},
        {FileErrorCause::AccessDenied, "a.log へのｱｸｾｽは拒否されました。"},
        {FileErrorCause::InvalidHandle, "a.log へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。"},
        {FileErrorCause::HardwareIo, "a.log へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。"},
        {FileErrorCause::SharingViolation, "a.log へのｱｸｾｽ中に共有違反が発生しました。"},
        {FileErrorCause::LockViolation, "a.log へのｱｸｾｽ中にﾛｯｸ違反が発生しました。"},
        {FileErrorCause::Other, "a.log へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"},
    };
    for (const auto& [cause, text] : causes) EXPECT_EQ(fileErrorText(FileError(cause, "a.log")), text);
    EXPECT_EQ(fileErrorText(FileError(FileErrorCause::NotFound, "")), "無題のﾌｧｲﾙ が見つかりませんでした。");
    EXPECT_EQ(fileErrorText(FileError(FileErrorCause::NotFound, "%1")), "%1 が見つかりませんでした。");
    EXPECT_EQ(memoryErrorText(), "ﾒﾓﾘが不足しています。");
    EXPECT_EQ(settingsWriteFailureText("C:\\Kestro.ini"),
              "設定ファイル \"C:\\Kestro.ini\" に書き込めません。\n設定は保存されません。");
    EXPECT_EQ(BarWindow::tooltipText(1011), "\nTeX のコンパイルからPDF の作成・表示まで");
    EXPECT_EQ(BarWindow::tooltipText(1017), "");
    EXPECT_EQ(BarWindow::aboutMenuText(), "Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    const std::pair<int, bool> commands[] = {{16, true}, {31, true}, {32, false}, {15, false}};
    for (const auto& [command, about] : commands) EXPECT_EQ(BarWindow::isAboutCommand(command), about) << command;
}

// The editor opens the quoted document in its directory, also without a
// document (after a hint); 32 and below is a failure. The console starts
// in the document's directory, trying the terminals in turn.
TEST(EditorAndPrompt, OpenTheirProgramsInTheDocumentsDirectory) {
    FakeBar bar(PlatformRules::windows());
    BarState state;
    state.editorPath = "e.exe";
    openInEditor(state, bar.services);
    state.documentPath = "\"C:\\my work\\a.tex\"";
    state.documentDir = "C:\\my work\\";
    state.documentStem = "a";
    bar.ui.shellResults = {32, 33};
    openInEditor(state, bar.services);
    openInEditor(state, bar.services);
    EXPECT_EQ(bar.ui.events.at(1), "shell open: e.exe");
    EXPECT_EQ(bar.ui.shellOpens.at(0).parameters, std::optional<std::string>("\"\""));
    EXPECT_EQ(bar.ui.shellOpens.at(1).parameters, std::optional<std::string>("\"\"C:\\my work\\a.tex\"\""));
    EXPECT_EQ(bar.ui.shellOpens.at(1).directory, "C:\\my work\\");
    EXPECT_EQ(bar.ui.boxes.size(), 2u);
    FakeBar posix(PlatformRules::posix());
    posix.files.addDirectory("/w/");
    posix.processes.setEnvironment("PATH", "/usr/bin");
    posix.processes.setEnvironment("TERMINAL", "kitty");
    state.documentDir = "/gone/";
    for (const char* terminal : {"xterm", "kitty", "x-terminal-emulator"}) {
        posix.processes.installExiting(std::string("/usr/bin/") + terminal, 0);
        openCommandPrompt(state, posix.services);
        EXPECT_EQ(posix.files.currentDirectory(), state.documentDir == "/w/" ? "/w/" : "/start/");  // a folder gone: wherever the bar is
        state.documentDir = "/w/";
    }
    EXPECT_EQ(posix.processes.commandLines(), (Texts{"xterm", "kitty", "x-terminal-emulator"}));
}

// The panel works on its own state from the file; what its buttons store
// reaches the bar when it closes.
TEST(SettingsPanel, ItsButtonsReachTheBarThroughTheFile) {
    FakeBar bar(PlatformRules::windows());
    bar.settings.writeSettingInt("Settings", "PdfNeShow", 1);
    bar.settings.writeSettingString("Settings", "TeX", "C:\\tex\\platex.exe");
    BarWindow window(bar.services, "C:\\work\\paper.tex");
    window.initialise();
    ASSERT_EQ(window.state().paperSizeSticky, 1);
    // Cancel on the compiler's question returns to platex; then a chosen
    // converter is kept when a compiler is chosen after it.
    bar.ui.settingsDialogs.push_back([](SettingsDialog& panel) {
        panel.press(SettingsDialog::kTex);
        panel.press(SettingsDialog::kDvipdf);
        panel.press(SettingsDialog::kTex);
        panel.press(SettingsDialog::kPaperSize);
        return true;
    });
    bar.ui.answers = {Answer::Cancel, Answer::Ok, Answer::Ok};
    bar.ui.files = {std::string("D:\\pdf\\dvipdfmx.exe"), std::string("C:\\w32tex\\bin\\platex.exe")};
    bar.ui.paperDialogs.push_back([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(7);
        return true;
    });
    window.press(BarControl::Settings);
    const BarState& state = window.state();
    EXPECT_EQ(state.texCommand, "C:\\w32tex\\bin\\platex.exe");
    EXPECT_EQ(state.bibtexCommand, "C:\\w32tex\\bin\\jbibtex");
    EXPECT_EQ(state.dvipdfCommand, "D:\\pdf\\dvipdfmx.exe");
    // "From now on" cleared: this run keeps the new size without asking.
    EXPECT_EQ(state.paperSizeNo, 7);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.indexOptions, "");  // the panel's default, not the start-up's
    EXPECT_EQ(state.documentStem, "paper");
    EXPECT_EQ(bar.ui.count("settings dialog"), 1);
}

}  // namespace
}  // namespace kestro::fake

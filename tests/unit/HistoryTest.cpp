// The current document and the history box: start-up, the three ways the
// user changes the document, and the write-back.
#include <gtest/gtest.h>

#include "app/BarWindow.h"
#include "FakePlatform.h"

namespace kestro {
namespace {

using testing::FakeBar;
using Entries = std::vector<std::string>;

std::string historyFile(const Entries& entries) {
    std::string text = "[RFL]\r\n";
    for (std::size_t i = 0; i < entries.size(); ++i) {
        text += "File" + std::to_string(i) + "=" + entries[i] + "\r\n";
    }
    return text;
}

Entries numbered(int count) {
    Entries entries;
    for (int i = 0; i < count; ++i) entries.push_back("C:\\d\\doc" + std::to_string(i) + ".tex");
    return entries;
}

class History : public ::testing::Test {
protected:
    FakeBar fake{PlatformRules::windows()};

    std::unique_ptr<BarWindow> startOn(const std::string& fileText, const std::string& tail = "") {
        fake.store.setFile(fake.settings.path(), fileText);
        auto bar = std::make_unique<BarWindow>(fake.services, tail);
        bar->initialise();
        return bar;
    }
    std::unique_ptr<BarWindow> start(const Entries& stored, const std::string& tail = "") {
        return startOn(historyFile(stored), tail);
    }
};

TEST_F(History, StartsOnTheMostRecentEntryAndReadsUpToTheFirstEmptyKey) {
    auto bar = startOn("[RFL]\r\nFile0=C:\\work\\paper.final.tex\r\nFile1=C:\\old\\a.tex\r\nFile2=\r\nFile3=e.tex\r\n");
    EXPECT_EQ(bar->history().entries(), (Entries{"C:\\work\\paper.final.tex", "C:\\old\\a.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_TRUE(bar->history().extendedUi());
    EXPECT_EQ(bar->state().documentStem, "paper.final");
    EXPECT_EQ(bar->state().documentDir, "C:\\work\\");
    EXPECT_EQ(bar->state().documentExt, ".tex");
}

TEST_F(History, CommandLineDocumentGoesOnTopWithoutCuttingTheList) {
    auto bar = start(numbered(16), "C:\\new\\paper.tex");
    EXPECT_EQ(bar->history().count(), 17);
    EXPECT_EQ(bar->history().text(0), "C:\\new\\paper.tex");
    EXPECT_EQ(bar->history().selection(), 0);
    // A list of seventeen since start-up keeps seventeen.
    bar->acceptDroppedFile({"C:\\x\\new.tex"});
    EXPECT_EQ(bar->history().count(), 17);
    bar->endRun();
    // The top sixteen are kept; the rest are gone at the next start.
    EXPECT_EQ(fake.setting("RFL", "File0"), "C:\\x\\new.tex");
    EXPECT_EQ(fake.setting("RFL", "File15"), "C:\\d\\doc13.tex");
    EXPECT_FALSE(fake.hasSetting("RFL", "File16"));
}

TEST_F(History, CommandLineDocumentAlreadyListedAppearsTwice) {
    auto bar = start({"C:\\a\\x.tex", "C:\\a\\paper.tex"}, "C:\\a\\paper.tex");
    EXPECT_EQ(bar->history().entries(), (Entries{"C:\\a\\paper.tex", "C:\\a\\x.tex", "C:\\a\\paper.tex"}));
    bar->endRun();
    EXPECT_EQ(fake.setting("RFL", "File2"), "C:\\a\\paper.tex");
}

TEST_F(History, DropTakesTheFirstFileOnlyAndChecksItsExtension) {
    auto bar = start(numbered(16));
    bar->acceptDroppedFile({"C:\\a\\notes.txt", "C:\\a\\paper.tex", "C:\\a\\b.tex"});
    ASSERT_EQ(fake.ui.boxes().size(), 1u);
    EXPECT_EQ(fake.ui.boxes()[0].text, "TeX のファイルではありません！登録して直して下さい！");

    for (const char* rejected : {"C:\\a\\paper.Tex", "C:\\a.tex\\paper"}) {
        bar->acceptDroppedFile({rejected});
    }
    EXPECT_EQ(fake.ui.boxes().size(), 3u);
    EXPECT_EQ(bar->state().documentStem, "doc0");
    EXPECT_EQ(bar->history().count(), 16);

    bar->acceptDroppedFile({"C:\\a\\PAPER.TEX"});
    EXPECT_EQ(bar->state().documentStem, "PAPER");
    EXPECT_EQ(bar->history().text(0), "C:\\a\\PAPER.TEX");
    EXPECT_EQ(bar->history().editText(), "C:\\a\\PAPER.TEX");
    // The list keeps sixteen after an insert.
    EXPECT_EQ(bar->history().count(), 16);
    EXPECT_EQ(bar->history().text(15), "C:\\d\\doc14.tex");
    // A drop does not select the new entry; the edit text shows it.
    EXPECT_NE(bar->history().selection(), 0);
    EXPECT_GE(fake.ui.historyFocusRequests(), 1);
}

// Windows matches names without case, so a listed document moves to the
// top; on Linux names that differ by case are different documents.
TEST(HistoryDrop, ListedDocumentMovesToTheTopUnderThePlatformsCaseRule) {
    struct Case {
        bool windows;
        Entries stored;
        std::string dropped;
        Entries after;
    };
    const Case cases[] = {
        {true, {"C:\\a\\one.tex", "C:\\a\\two.tex", "C:\\a\\three.tex"}, "c:\\A\\THREE.tex",
         {"c:\\A\\THREE.tex", "C:\\a\\one.tex", "C:\\a\\two.tex"}},
        {false, {"/a/Paper.tex"}, "/a/paper.tex", {"/a/paper.tex", "/a/Paper.tex"}},
    };
    for (const Case& c : cases) {
        FakeBar fake(c.windows ? PlatformRules::windows() : PlatformRules::posix());
        fake.store.setFile(fake.settings.path(), historyFile(c.stored));
        BarWindow bar(fake.services, "");
        bar.initialise();
        bar.acceptDroppedFile({c.dropped});
        EXPECT_EQ(bar.history().entries(), c.after);
    }
}

TEST_F(History, FileDialogChoiceIsSelectedAndConfirmedOrCancelled) {
    auto bar = start({"C:\\a\\one.tex"});
    fake.ui.answerFileDialog(std::string("C:\\b\\chosen.tex"));
    bar->chooseDocumentFile();
    ASSERT_EQ(fake.ui.fileDialogs().size(), 1u);
    EXPECT_EQ(fake.ui.fileDialogs()[0].filter, "TeX file (*.tex)|*.tex||");
    EXPECT_EQ(bar->state().documentStem, "chosen");
    EXPECT_EQ(bar->history().selection(), 0);

    const int before = fake.ui.invalidations();
    fake.ui.answerFileDialog(std::nullopt);
    bar->chooseDocumentFile();
    EXPECT_EQ(bar->state().documentStem, "chosen");
    EXPECT_EQ(bar->history().count(), 2);
    EXPECT_EQ(fake.ui.invalidations(), before + 1);
}

TEST_F(History, PickingAnEntryMakesItTheDocumentOrRemovesItSilentlyWhenGone) {
    auto bar = start({"C:\\a\\one.tex", "C:\\a\\two.tex", "C:\\a\\gone.tex", "C:\\a\\three.tex"});
    fake.files.write("C:\\a\\three.tex", "x");
    bar->pickHistoryEntry(3);
    EXPECT_EQ(bar->history().entries(), (Entries{"C:\\a\\three.tex", "C:\\a\\one.tex", "C:\\a\\two.tex", "C:\\a\\gone.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_EQ(bar->state().documentStem, "three");

    bar->pickHistoryEntry(3);
    EXPECT_EQ(bar->history().entries(), (Entries{"C:\\a\\three.tex", "C:\\a\\one.tex", "C:\\a\\two.tex"}));
    EXPECT_EQ(bar->state().documentStem, "three");
    bar->pickHistoryEntry(-1);
    EXPECT_EQ(bar->history().count(), 3);
    EXPECT_TRUE(fake.ui.boxes().empty());
}

TEST_F(History, WriteBackClearsSlotsAboveTheList) {
    auto bar = start({"C:\\a\\0.tex", "C:\\a\\g1.tex", "C:\\a\\2.tex", "C:\\a\\g3.tex", "C:\\a\\4.tex"});
    fake.files.write("C:\\a\\0.tex", "");
    bar->pickHistoryEntry(1);
    bar->pickHistoryEntry(2);
    ASSERT_EQ(bar->history().count(), 3);
    bar->endRun();
    EXPECT_EQ(fake.setting("RFL", "File0"), "C:\\a\\0.tex");
    EXPECT_EQ(fake.setting("RFL", "File2"), "C:\\a\\4.tex");
    EXPECT_FALSE(fake.hasSetting("RFL", "File3"));
    EXPECT_FALSE(fake.hasSetting("RFL", "File4"));

    // The next start shows what the user last saw, without repeats.
    BarWindow next(fake.services, "");
    next.initialise();
    EXPECT_EQ(next.history().count(), 3);
}

TEST_F(History, EveryEndingWritesTheHistoryOnceAndKeepsOddBytes) {
    const std::string odd = "C:\\\x81\\x\x82.tex";
    auto bar = start({odd});
    EXPECT_EQ(bar->history().text(0), odd);
    bar->acceptDroppedFile({"C:\\a\\two.tex"});
    bar->endRun();
    const int writes = fake.store.writes();
    bar->endRun();
    EXPECT_EQ(fake.store.writes(), writes);
    EXPECT_EQ(fake.setting("RFL", "File0"), "C:\\a\\two.tex");
    EXPECT_EQ(fake.setting("RFL", "File1"), odd);
}

TEST(CommandDispatcher, FileErrorsEndTheOperationWithTheStopBox) {
    FakeBar fake(PlatformRules::windows());
    BarWindow bar(fake.services, "");
    bar.initialise();
    bar.dispatch([] { throw FileError(FileErrorCause::NotFound, "paper.log"); });
    ASSERT_EQ(fake.ui.boxes().size(), 1u);
    EXPECT_EQ(fake.ui.boxes()[0].text, "paper.log が見つかりませんでした。");
    EXPECT_EQ(fake.ui.boxes()[0].icon, BoxIcon::Stop);

    bar.dispatch([] { throw MemoryError(); });
    ASSERT_EQ(fake.ui.boxes().size(), 2u);
    EXPECT_EQ(fake.ui.boxes()[1].text, "ﾒﾓﾘが不足しています。");
    EXPECT_EQ(fake.ui.boxes()[1].icon, BoxIcon::Exclamation);
    EXPECT_TRUE(fake.ui.boxes()[1].systemModal);
}

TEST(BarTexts, TooltipsAndTheVersionCommand) {
    EXPECT_EQ(BarWindow::tooltipText(1002), "\nTeX のコンパイル");
    EXPECT_EQ(BarWindow::tooltipText(1017), "");
    EXPECT_TRUE(BarWindow::isAboutCommand(16));
    EXPECT_TRUE(BarWindow::isAboutCommand(31));
    EXPECT_FALSE(BarWindow::isAboutCommand(32));
    EXPECT_FALSE(BarWindow::isAboutCommand(15));
}

}  // namespace
}  // namespace kestro

#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "dialogs/PaperSizeDialog.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLoad.h"

namespace kestro {
namespace {

using testing::FakeBar;

void storePaperKeys(FakeBar& bar, int untilRestart, int fromNowOn, int sizeNo) {
    bar.settings.writeSettingInt("Settings", "PdfNShow", untilRestart);
    bar.settings.writeSettingInt("Settings", "PdfNeShow", fromNowOn);
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", sizeNo);
}

int position(const char* caption) {
    for (std::size_t i = 0; i < PaperSizeDialog::kChoices.size(); ++i) {
        if (std::string(PaperSizeDialog::kChoices[i].caption) == caption) return static_cast<int>(i);
    }
    return -100;
}

TEST(PaperSizeDialogModel, RadioPositionsFollowTheTemplateOrder) {
    EXPECT_EQ(position("A3"), 0);
    EXPECT_EQ(position("A4"), 1);
    EXPECT_EQ(position("Landscape"), 4);
    EXPECT_EQ(PaperSizeDialog::kChoices[4].controlId, 1055);
    EXPECT_EQ(position("B5"), 7);
    EXPECT_EQ(PaperSizeDialog::kChoices[7].controlId, 1048);
    EXPECT_EQ(position("Letter"), 10);
    EXPECT_EQ(position("Tabloid"), 13);
    EXPECT_EQ(PaperSizeDialog::kChoices[13].controlId, 1054);
}

TEST(PaperSizeDialogModel, OpensOnTheStoredKeys) {
    FakeBar bar(PlatformRules::windows());
    {
        PaperSizeDialog empty(bar.settings);
        EXPECT_EQ(empty.checkedPosition(), 1);
        EXPECT_FALSE(empty.skipUntilRestartChecked());
        EXPECT_FALSE(empty.skipFromNowOnChecked());
    }
    storePaperKeys(bar, 1, 1, 9);
    PaperSizeDialog both(bar.settings);
    EXPECT_EQ(both.checkedPosition(), 9);
    EXPECT_TRUE(both.skipUntilRestartChecked());
    EXPECT_TRUE(both.skipFromNowOnChecked());

    for (int outside : {14, -1, 1000}) {
        bar.settings.writeSettingInt("Settings", "PdfSizeNo", outside);
        EXPECT_EQ(PaperSizeDialog(bar.settings).checkedPosition(), -1) << outside;
    }
}

TEST(PaperSizeDialogModel, CheckBoxesExcludeEachOtherButNeverSetEachOther) {
    FakeBar bar(PlatformRules::windows());
    storePaperKeys(bar, 1, 1, 1);
    PaperSizeDialog dialog(bar.settings);

    // Clearing one of two checked boxes leaves the other as it is.
    dialog.clickSkipUntilRestart();
    EXPECT_EQ(dialog.skipUntilRestart, 0);
    EXPECT_EQ(dialog.skipFromNowOn, 1);

    dialog.clickSkipUntilRestart();
    EXPECT_EQ(dialog.skipUntilRestart, 1);
    EXPECT_EQ(dialog.skipFromNowOn, 0);

    dialog.clickSkipFromNowOn();
    EXPECT_EQ(dialog.skipUntilRestart, 0);
    EXPECT_EQ(dialog.skipFromNowOn, 1);

    dialog.clickSkipFromNowOn();
    EXPECT_EQ(dialog.skipUntilRestart, 0);
    EXPECT_EQ(dialog.skipFromNowOn, 0);
}

TEST(ChoosePaperSize, UntilRestartReplacesFromNowOn) {
    FakeBar bar(PlatformRules::windows());
    storePaperKeys(bar, 0, 1, 1);
    BarState state;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        EXPECT_TRUE(dialog.skipFromNowOnChecked());
        dialog.clickSkipUntilRestart();
        dialog.accept(dialog.checkedPosition());
        return true;
    });

    EXPECT_EQ(choosePaperSize(state, bar.services), 1);

    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "1");
    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "0");
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperDialogNever, 0);
    EXPECT_EQ(state.paperSizeNo, 1);
}

TEST(ChoosePaperSize, FromNowOnWithLandscape) {
    FakeBar bar(PlatformRules::posix());
    BarState state;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(position("Landscape"));
        return true;
    });

    EXPECT_EQ(choosePaperSize(state, bar.services), 1);

    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "1");
    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "4");
    EXPECT_EQ(state.paperSizeNo, 4);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperDialogNever, 1);
}

TEST(ChoosePaperSize, WritesTheThreeKeysInOrder) {
    FakeBar bar(PlatformRules::windows());
    BarState state;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.accept(position("B5"));
        return true;
    });
    EXPECT_EQ(choosePaperSize(state, bar.services), 1);

    const std::string text = bar.settingsText();
    const auto nShow = text.find("PdfNShow=0");
    const auto neShow = text.find("PdfNeShow=0");
    const auto sizeNo = text.find("PdfSizeNo=7");
    ASSERT_NE(nShow, std::string::npos) << text;
    ASSERT_NE(neShow, std::string::npos) << text;
    ASSERT_NE(sizeNo, std::string::npos) << text;
    EXPECT_LT(nShow, neShow);
    EXPECT_LT(neShow, sizeNo);
    // Neither box: the next conversion asks again.
    EXPECT_EQ(state.paperSizeSticky, 0);
}

TEST(ChoosePaperSize, BothStoredThenOneClearedStaysSticky) {
    FakeBar bar(PlatformRules::windows());
    storePaperKeys(bar, 1, 1, 3);
    BarState state;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipUntilRestart();
        dialog.accept(dialog.checkedPosition());
        return true;
    });
    EXPECT_EQ(choosePaperSize(state, bar.services), 1);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperDialogNever, 1);
    EXPECT_EQ(state.paperSizeNo, 3);
    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "0");
}

TEST(ChoosePaperSize, NoRadioCheckedStoresMinusOne) {
    FakeBar bar(PlatformRules::windows());
    storePaperKeys(bar, 0, 0, 20);
    BarState state;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.accept(dialog.checkedPosition());
        return true;
    });
    EXPECT_EQ(choosePaperSize(state, bar.services), 1);
    EXPECT_EQ(state.paperSizeNo, -1);
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "-1");
}

TEST(ChoosePaperSize, CancelAfterClicksChangesNothing) {
    FakeBar bar(PlatformRules::windows());
    storePaperKeys(bar, 0, 1, 5);
    const std::string before = bar.settingsText();
    BarState state;
    state.paperSizeNo = 5;
    state.paperSizeSticky = 0;
    state.paperDialogNever = 1;
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipUntilRestart();
        dialog.accept(position("Legal"));
        return false;
    });

    EXPECT_EQ(choosePaperSize(state, bar.services), 0);

    EXPECT_EQ(bar.settingsText(), before);
    EXPECT_EQ(state.paperSizeNo, 5);
    EXPECT_EQ(state.paperSizeSticky, 0);
    EXPECT_EQ(state.paperDialogNever, 1);
}

// The two boxes across restarts, with start-up's load of the paper keys.
TEST(PaperSizeAcrossRestarts, EachChoiceLastsAsLongAsItSays) {
    struct Case {
        const char* name;
        void (*click)(PaperSizeDialog&);
        int chosen;
        int stickyInRun;
        int sizeAfterRestart;
        int stickyAfterRestart;
    };
    const Case cases[] = {
        {"neither", [](PaperSizeDialog&) {}, 7, 0, 1, 0},
        {"until restart", [](PaperSizeDialog& d) { d.clickSkipUntilRestart(); }, 7, 1, 1, 0},
        {"from now on", [](PaperSizeDialog& d) { d.clickSkipFromNowOn(); }, 10, 1, 10, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeBar bar(PlatformRules::windows());
        BarState state;
        loadPaperGroup(state, bar.settings);
        EXPECT_EQ(state.paperSizeSticky, 0);

        bar.ui.answerPaperDialog([&c](PaperSizeDialog& dialog) {
            c.click(dialog);
            dialog.accept(c.chosen);
            return true;
        });
        ASSERT_EQ(choosePaperSize(state, bar.services), 1);
        EXPECT_EQ(state.paperSizeSticky, c.stickyInRun);
        EXPECT_EQ(state.paperSizeNo, c.chosen);

        BarState restarted;
        loadPaperGroup(restarted, bar.settings);
        EXPECT_EQ(restarted.paperSizeNo, c.sizeAfterRestart);
        EXPECT_EQ(restarted.paperSizeSticky, c.stickyAfterRestart);

        // A second restart sees the same: nothing decays further.
        BarState again;
        loadPaperGroup(again, bar.settings);
        EXPECT_EQ(again.paperSizeNo, c.sizeAfterRestart);

        // When the dialog is due again, it opens on what start-up left.
        PaperSizeDialog reopened(bar.settings);
        EXPECT_EQ(reopened.checkedPosition(), c.sizeAfterRestart);
        EXPECT_EQ(reopened.skipUntilRestartChecked(), false);
        EXPECT_EQ(reopened.skipFromNowOnChecked(), c.stickyAfterRestart != 0);
    }
}

}  // namespace
}  // namespace kestro

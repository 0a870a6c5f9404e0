#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "dialogs/PaperSizeDialog.h"
#include "settings/SettingsKeys.h"
#include "settings/SettingsLoad.h"

namespace kestro {
namespace {

using testing::FakeBar;

// Radio positions in the dialog's order.
constexpr int kA4 = 1, kLegal = 11;

void storePaperKeys(FakeBar& bar, int untilRestart, int fromNowOn, int sizeNo) {
    bar.settings.writeSettingInt("Settings", "PdfNShow", untilRestart);
    bar.settings.writeSettingInt("Settings", "PdfNeShow", fromNowOn);
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", sizeNo);
}

void clickNothing(PaperSizeDialog&) {}
void clickUntilRestart(PaperSizeDialog& d) { d.clickSkipUntilRestart(); }
void clickFromNowOn(PaperSizeDialog& d) { d.clickSkipFromNowOn(); }

TEST(PaperSizeDialogModel, OpensOnTheStoredKeysAndTheBoxesExcludeEachOther) {
    FakeBar bar(PlatformRules::windows());
    {
        PaperSizeDialog empty(bar.settings);
        EXPECT_EQ(empty.checkedPosition(), kA4);
        EXPECT_FALSE(empty.skipUntilRestartChecked());
        EXPECT_FALSE(empty.skipFromNowOnChecked());
    }
    for (int outside : {14, -1}) {
        bar.settings.writeSettingInt("Settings", "PdfSizeNo", outside);
        EXPECT_EQ(PaperSizeDialog(bar.settings).checkedPosition(), -1) << outside;
    }
    storePaperKeys(bar, 1, 1, 9);
    PaperSizeDialog dialog(bar.settings);
    EXPECT_EQ(dialog.checkedPosition(), 9);
    EXPECT_TRUE(dialog.skipUntilRestartChecked());
    EXPECT_TRUE(dialog.skipFromNowOnChecked());

    // Each click, and the two boxes after it: clearing one of two checked
    // boxes leaves the other; checking one clears the other, never sets it.
    const std::tuple<void (*)(PaperSizeDialog&), int, int> clicks[] = {
        {clickUntilRestart, 0, 1}, {clickUntilRestart, 1, 0}, {clickFromNowOn, 0, 1}, {clickFromNowOn, 0, 0}};
    for (const auto& [click, untilRestart, fromNowOn] : clicks) {
        click(dialog);
        EXPECT_EQ(dialog.skipUntilRestart, untilRestart);
        EXPECT_EQ(dialog.skipFromNowOn, fromNowOn);
    }
}

// One choice per row: the keys stored before (-9: none), the user's clicks,
// the position accepted (-2: the one checked) and OK or Cancel; then the
// keys and the bar's fields. The bar starts at size 5, not sticky, asking.
TEST(ChoosePaperSize, StoresTheChoiceAndSettlesTheBar) {
    struct Case {
        const char* name;
        int stored[3];
        void (*click)(PaperSizeDialog&);
        int position;
        bool ok;
        const char* keys[3];  // PdfNShow, PdfNeShow, PdfSizeNo
        int sizeNo, sticky, never;
    };
    const Case cases[] = {
        {"until restart replaces from now on", {0, 1, 1}, clickUntilRestart, -2, true, {"1", "0", "1"}, 1, 1, 0},
        {"both stored, one cleared: still sticky", {1, 1, 3}, clickUntilRestart, -2, true, {"0", "1", "3"}, 3, 1, 1},
        {"no radio checked", {0, 0, 20}, clickNothing, -2, true, {"0", "0", "-1"}, -1, 0, 0},
        {"cancel after clicks", {0, 1, 5}, clickUntilRestart, kLegal, false, {"0", "1", "5"}, 5, 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FakeBar bar(PlatformRules::windows());
        if (c.stored[0] != -9) storePaperKeys(bar, c.stored[0], c.stored[1], c.stored[2]);
        const std::string before = bar.settingsText();
        BarState state;
        state.paperSizeNo = 5;
        state.paperSizeSticky = 0;
        state.paperDialogNever = 1;
        bar.ui.answerPaperDialog([&c](PaperSizeDialog& dialog) {
            c.click(dialog);
            dialog.accept(c.position == -2 ? dialog.checkedPosition() : c.position);
            return c.ok;
        });

        EXPECT_EQ(choosePaperSize(state, bar.services), c.ok ? 1 : 0);

        if (!c.ok) {
            EXPECT_EQ(bar.settingsText(), before);
        }
        EXPECT_EQ(bar.setting("Settings", "PdfNShow"), c.keys[0]);
        EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), c.keys[1]);
        EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), c.keys[2]);
        EXPECT_EQ(state.paperSizeNo, c.sizeNo);
        EXPECT_EQ(state.paperSizeSticky, c.sticky);
        EXPECT_EQ(state.paperDialogNever, c.never);
        // The three keys are written in this order.
        const std::string text = bar.settingsText();
        EXPECT_LT(text.find("PdfNShow="), text.find("PdfNeShow="));
        EXPECT_LT(text.find("PdfNeShow="), text.find("PdfSizeNo="));
    }
}

}  // namespace
}  // namespace kestro

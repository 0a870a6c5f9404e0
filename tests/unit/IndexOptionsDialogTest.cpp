#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro::testing {
namespace {

class IndexOptionsTest : public ::testing::Test {
protected:
    FakeBar bar{PlatformRules::windows()};
    BarState state;
    IndexOptionsTest() {
        state.indexOptions = "-s myindex";
        state.indexDialogNever = 0;
    }
};

TEST_F(IndexOptionsTest, DialogLoadsFromTheFileNotFromTheBar) {
    IndexOptionsDialog fresh(bar.settings);
    EXPECT_EQ(fresh.optionsText, "");
    EXPECT_EQ(fresh.neverShow, 0);

    bar.settings.writeSettingString("Settings", "MkIdxOpt", "-s jind");
    bar.settings.writeSettingInt("Settings", "MkIdxNvr", 1);
    IndexOptionsDialog stored(bar.settings);
    EXPECT_EQ(stored.optionsText, "-s jind");
    EXPECT_EQ(stored.neverShow, 1);
}

TEST_F(IndexOptionsTest, OkStoresTheTextAsTypedAndTheFlag) {
    // Nothing stored: the dialog offers, and OK stores, the empty text.
    std::string offered = "<none>";
    bar.ui.answerIndexDialog([&offered](IndexOptionsDialog& dialog) {
        offered = dialog.optionsText;
        return true;
    });
    editIndexOptions(state, bar.services);
    EXPECT_EQ(offered, "");
    EXPECT_EQ(state.indexOptions, "");
    EXPECT_TRUE(bar.hasSetting("Settings", "MkIdxOpt"));
    EXPECT_EQ(bar.setting("Settings", "MkIdxOpt"), "");
    EXPECT_EQ(bar.setting("Settings", "MkIdxNvr"), "0");

    bar.ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("  -s myindex ", true);
        return true;
    });
    editIndexOptions(state, bar.services);
    EXPECT_EQ(state.indexOptions, "  -s myindex ");
    EXPECT_EQ(state.indexDialogNever, 1);
    // Read back through the settings layer, as the next start does.
    IndexOptionsDialog again(bar.settings);
    EXPECT_EQ(again.neverShow, 1);
}

}  // namespace
}  // namespace kestro::testing

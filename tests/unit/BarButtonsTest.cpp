// Each control of the bar reaches its operation through the dispatcher.
#include <gtest/gtest.h>

#include "app/BarWindow.h"
#include "FakePlatform.h"

namespace kestro {
namespace {

using testing::FakeBar;

const char* kChooseDocument =
    "処理したい TeX ﾌｧｲﾙ をドラッグ＆ドロップするか、\n「ﾌｧｲﾙ 選択」で、選んで下さい。";

class BarButtons : public ::testing::Test {
protected:
    FakeBar fake{PlatformRules::windows()};
    BarWindow bar{fake.services, ""};
    void SetUp() override { bar.initialise(); }
};

TEST_F(BarButtons, EditOpensTheEditorWithTheHintWhenNoDocumentIsChosen) {
    bar.press(BarControl::Edit);
    ASSERT_EQ(fake.ui.shellOpens().size(), 1u);
    EXPECT_EQ(fake.ui.shellOpens()[0].file, "c:\\WINDOWS\\NOTEPAD.exe");
    EXPECT_EQ(fake.ui.shellOpens()[0].parameters, std::optional<std::string>("\"\""));
    EXPECT_EQ(fake.ui.boxes().size(), 1u);
}

TEST_F(BarButtons, BuildButtonsAskForADocumentFirst) {
    bar.press(BarControl::Tex);
    EXPECT_EQ(fake.ui.boxTexts(), (std::vector<std::string>{kChooseDocument}));

    bar.press(BarControl::OneClick);
    ASSERT_EQ(fake.ui.boxes().size(), 3u);
    EXPECT_EQ(fake.ui.boxes()[1].text, kChooseDocument);
    EXPECT_EQ(fake.ui.boxes()[2].text,
              "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。");

    // No PDF, no DVI: the PDF button compiles first, which asks again.
    bar.press(BarControl::Pdf);
    EXPECT_EQ(fake.ui.boxes().back().text, kChooseDocument);
    EXPECT_TRUE(fake.processes.started().empty());
}

TEST_F(BarButtons, SettingsRunsThePanelAndRereadsTheFile) {
    fake.ui.answerSettingsDialog([&](SettingsDialog&) {
        fake.settings.writeSettingString("Settings", "TeX", "uplatex");
    });
    bar.press(BarControl::Settings);
    EXPECT_EQ(fake.ui.settingsDialogsShown(), 1);
    EXPECT_EQ(bar.state().texCommand, "uplatex");
}

}  // namespace
}  // namespace kestro

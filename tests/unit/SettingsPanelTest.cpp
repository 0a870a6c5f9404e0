#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "settings/SettingsLoad.h"

namespace kestro {
namespace {

using testing::FakeBar;

// The live bar after a start on whatever the settings file holds.
BarState startedBar(FakeBar& bar) {
    BarState state;
    loadPaperGroup(state, bar.settings);
    loadToolGroup(state, bar.settings, bar.rules);
    state.documentPath = "C:\\work\\paper.tex";
    state.documentStem = "paper";
    state.documentDir = "C:\\work\\";
    state.documentExt = ".tex";
    state.historyCapacity = 16;
    return state;
}

void pressInPanel(FakeBar& bar, std::vector<int> buttons) {
    bar.ui.answerSettingsDialog([buttons](SettingsDialog& panel) {
        for (int id : buttons) panel.press(id);
    });
}

TEST(SettingsPanel, ClosingAtOnceStillReReadsTheNineKeys) {
    FakeBar bar(PlatformRules::windows());
    BarState state = startedBar(bar);
    EXPECT_EQ(state.indexOptions, "-s myindex");
    state.acrSetting = 1;
    state.paperSizeSticky = 0;
    // Stored behind the bar's back while it runs.
    bar.settings.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\uplatex.exe");
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", 0);
    bar.settings.writeSettingInt("Settings", "PdfNShow", 1);
    bar.settings.writeSettingInt("Settings", "Acr", 0);
    pressInPanel(bar, {});

    openSettingsPanel(state, bar.services);

    EXPECT_EQ(bar.ui.settingsDialogsShown(), 1);
    EXPECT_TRUE(bar.ui.boxes().empty());
    EXPECT_EQ(state.indexOptions, "");
    EXPECT_EQ(state.texCommand, "C:\\tex\\bin\\uplatex.exe");
    EXPECT_EQ(state.paperSizeNo, 0);
    EXPECT_EQ(state.editorPath, "c:\\WINDOWS\\NOTEPAD.exe");
    // Left alone by the re-read.
    EXPECT_EQ(state.paperSizeSticky, 0);
    EXPECT_EQ(state.acrSetting, 1);
    EXPECT_EQ(state.documentPath, "C:\\work\\paper.tex");
    EXPECT_EQ(state.historyCapacity, 16);
}

TEST(SettingsPanel, PanelStateStartsFromTheSettingsFile) {
    FakeBar bar(PlatformRules::posix());
    bar.settings.writeSettingString("Settings", "DviPdf", "/opt/tex/dvipdfmx");
    bar.settings.writeSettingString("Settings", "MkIdxOpt", "-g");
    SettingsDialog panel(bar.services);
    EXPECT_EQ(panel.panelState.dvipdfCommand, "/opt/tex/dvipdfmx");
    EXPECT_EQ(panel.panelState.texCommand, "platex");
    EXPECT_EQ(panel.panelState.bibtexCommand, "pbibtex");
    EXPECT_EQ(panel.panelState.editorPath, "xdg-open");
    EXPECT_EQ(panel.panelState.indexOptions, "-g");
    EXPECT_EQ(panel.panelState.documentPath, "");
    EXPECT_EQ(panel.panelState.acrSetting, 0);
}

// Four openings of the panel, each pressing "TeX の変更".
TEST(SettingsPanel, CompilerChangesReachTheBarAndAChosenConverterIsKept) {
    FakeBar bar(PlatformRules::windows());
    bar.settings.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
    BarState state = startedBar(bar);
    const auto changeCompiler = [&](std::vector<int> presses, bool ok) {
        pressInPanel(bar, std::move(presses));
        bar.ui.answerQuestion(ok ? Answer::Ok : Answer::Cancel);
        if (ok) bar.ui.answerFileDialog("C:\\w32tex\\bin\\platex.exe");
        openSettingsPanel(state, bar.services);
    };

    // Cancel returns the bar to platex.
    changeCompiler({SettingsDialog::kTex}, false);
    EXPECT_FALSE(bar.hasSetting("Settings", "TeX"));
    EXPECT_EQ(state.texCommand, "platex");

    // The chosen compiler reaches the bar with its companions.
    changeCompiler({SettingsDialog::kTex}, true);
    EXPECT_EQ(state.texCommand, "C:\\w32tex\\bin\\platex.exe");
    EXPECT_EQ(state.bibtexCommand, "C:\\w32tex\\bin\\jbibtex");
    EXPECT_EQ(state.indexCommand, "C:\\w32tex\\bin\\mendex");
    EXPECT_EQ(state.dvipdfCommand, "C:\\w32tex\\bin\\dvipdfmx");

    // The panel sees the stored converter, so one the user picked in an
    // earlier opening is not overwritten by the derived name.
    bar.settings.writeSettingString("Settings", "DviPdf", "C:\\tex\\bin\\dvipdfmx.exe");
    changeCompiler({SettingsDialog::kTex}, true);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "C:\\tex\\bin\\dvipdfmx.exe");
    EXPECT_EQ(state.dvipdfCommand, "C:\\tex\\bin\\dvipdfmx.exe");

    // Nor is one chosen earlier in the same opening.
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog("D:\\pdf\\dvipdfmx.exe");
    changeCompiler({SettingsDialog::kDvipdf, SettingsDialog::kTex}, true);
    EXPECT_EQ(state.dvipdfCommand, "D:\\pdf\\dvipdfmx.exe");
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "D:\\pdf\\dvipdfmx.exe");
}

TEST(SettingsPanel, ClearingFromNowOnKeepsThisRunSettledOnTheNewSize) {
    FakeBar bar(PlatformRules::windows());
    bar.settings.writeSettingInt("Settings", "PdfNeShow", 1);
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", 0);
    BarState state = startedBar(bar);
    ASSERT_EQ(state.paperSizeSticky, 1);
    pressInPanel(bar, {SettingsDialog::kPaperSize});
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(7);
        return true;
    });

    openSettingsPanel(state, bar.services);

    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "7");
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperSizeNo, 7);
    EXPECT_EQ(state.paperDialogNever, 0);

    BarState restarted;
    loadPaperGroup(restarted, bar.settings);
    EXPECT_EQ(restarted.paperSizeSticky, 0);
    EXPECT_EQ(restarted.paperSizeNo, 1);
}

}  // namespace
}  // namespace kestro

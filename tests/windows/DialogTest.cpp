// The dialogs, the message boxes and the file dialog, opened for real:
// each control reaches its operation.
#include "Win32Dialogs.h"
#include "Win32TestSupport.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"

namespace kestro {
namespace {

using wintest::checked;
using wintest::SeenWindow;
using wintest::UiDriver;

// Types `path` into a file dialog's name boxes and confirms it.
void chooseInFileDialog(UiDriver& driver, HWND dialog, const std::string& path) {
    driver.step([dialog, path] {
        SetDlgItemTextA(dialog, 0x47C, path.c_str());
        SetDlgItemTextA(dialog, 0x480, path.c_str());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
}

using Dialogs = wintest::WindowsPlatformTest;

// The paper dialog opens on the stored keys, its boxes run the model's
// rule, a radio button is a size and OK stores them; the index dialog
// shows the file's text and stores what is typed; a button of the panel
// runs its operation, Esc closes it and the bar re-reads the file.
TEST_F(Dialogs, TheirControlsReachTheirOperations) {
    settings_.writeSettingInt("Settings", "PdfNeShow", 1);
    settings_.writeSettingInt("Settings", "PdfSizeNo", 7);
    settings_.writeSettingString("Settings", "MkIdxOpt", "-g");
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { EXPECT_TRUE(!checked(w, 1012) && checked(w, 1013) && checked(w, 1048)); });
        UiDriver::click(w, 1012);  // checking one clears the other
        UiDriver::click(w, 1055);  // Landscape, position 4
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(settings_.readSettingString("Settings", "PdfNShow") + settings_.readSettingString("Settings", "PdfNeShow") +
                  settings_.readSettingString("Settings", "PdfSizeNo"),
              "104");
    driver_.expect([&](const SeenWindow& dialog) {
        driver_.step([w = dialog.window] {
            EXPECT_EQ(wintest::windowText(w, 1121), "-g");
            SetDlgItemTextA(w, 1121, "  -s 索引 ");
        });
        UiDriver::click(dialog.window, 1012);
        UiDriver::click(dialog.window, IDOK);
    });
    editIndexOptions(state, services_);
    EXPECT_EQ(state.indexOptions, "  -s 索引 ");
    EXPECT_EQ(state.indexDialogNever, 1);

    settings_.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
    HWND panel = nullptr;
    driver_.expect([&](const SeenWindow& dialog) {
        panel = dialog.window;
        UiDriver::click(panel, IDC_CHANGE_TEX);
    });
    driver_.expect([&](const SeenWindow& question) {
        UiDriver::click(question.window, IDCANCEL);  // back to platex
        driver_.step([&] { PostMessageA(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    state.texCommand = "C:\\tex\\bin\\platex.exe";
    openSettingsPanel(state, services_);
    EXPECT_EQ(state.texCommand, "platex");
    EXPECT_EQ(state.indexOptions, "-s 索引");  // re-read as the file keeps it
    EXPECT_TRUE(driver_.allHandled());
}

// Each row: the box's buttons and icon, the icon Windows shows, how the
// user ends it (WM_CLOSE: the close box) and the answer that gives.
TEST_F(Dialogs, MessageBoxesShowTheirButtonsAndIcon) {
    const std::tuple<BoxButtons, BoxIcon, HICON, UINT, Answer> rows[] = {
        {BoxButtons::OkCancel, BoxIcon::Exclamation, LoadIcon(nullptr, IDI_EXCLAMATION), IDOK, Answer::Ok},
        {BoxButtons::OkCancel, BoxIcon::Exclamation, LoadIcon(nullptr, IDI_EXCLAMATION), WM_CLOSE, Answer::Cancel},
        {BoxButtons::Ok, BoxIcon::Stop, LoadIcon(nullptr, IDI_HAND), IDOK, Answer::Ok},
        {BoxButtons::Ok, BoxIcon::None, nullptr, IDOK, Answer::Ok},
    };
    for (const auto& [buttons, icon, shownIcon, action, answer] : rows) {
        const MessageBoxRequest request{BoxOwner::Bar, "TeX のコンパイラー \"platex\"", "Kestro", buttons, icon};
        driver_.expect([&](const SeenWindow& shown) {
            EXPECT_EQ(shown.caption + shown.messageText, "Kestro" + request.text);
            // An OK box may hold a hidden Cancel button; no button shows yet.
            HWND cancel = GetDlgItem(shown.window, IDCANCEL);
            const bool okCancel = buttons == BoxButtons::OkCancel;
            EXPECT_EQ(cancel != nullptr && (okCancel || IsWindowVisible(cancel)), okCancel);
            EXPECT_EQ(wintest::messageBoxIcon(shown.window), shownIcon);
            if (action == WM_CLOSE) {
                PostMessageA(shown.window, WM_CLOSE, 0, 0);
            } else {
                UiDriver::click(shown.window, IDOK);
            }
        });
        EXPECT_EQ(ui_.showMessage(request), answer);
    }
}

TEST_F(Dialogs, TheFileDialogReturnsTheChosenPathOrNothing) {
    const std::string document = scratch_.file("論文.tex");
    wintest::writeFile(document, "x");
    FileDialogRequest request{FileChoice::Document, "TeX file (*.tex)|*.tex||", "tex", "", kOfnFileMustExist};
    driver_.expect([&](const SeenWindow& dialog) {
        driver_.step([w = dialog.window] { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    EXPECT_FALSE(ui_.chooseFile(request).has_value());
    driver_.expect([&](const SeenWindow& dialog) { chooseInFileDialog(driver_, dialog.window, document); });
    EXPECT_EQ(ui_.chooseFile(request).value_or("cancelled"), document);
    // The separators become zero bytes; a missing closing pair is added.
    EXPECT_EQ(fileDialogFilter("実行ファイル(*.exe)|*.exe||"), std::string("実行ファイル(*.exe)") + std::string("\0*.exe\0\0", 8));
    EXPECT_EQ(fileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
}

}  // namespace
}  // namespace kestro

// The dialogs of templates 100, 137, 173 and 198, the message boxes and the
// file dialog, opened for real and driven as a user would.
#include <gtest/gtest.h>

#include <tuple>

#include "Win32Dialogs.h"
#include "WindowsPlatformTest.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"

namespace kestro {
namespace {

using wintest::SeenWindow;
using wintest::UiDriver;

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// Types `path` into a file dialog's name boxes and confirms it.
void chooseInFileDialog(UiDriver& driver, HWND dialog, const std::string& path) {
    driver.step([dialog, path] {
        SetDlgItemTextA(dialog, 0x47C, path.c_str());
        SetDlgItemTextA(dialog, 0x480, path.c_str());
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    });
}

class Dialogs : public wintest::WindowsPlatformTest {
protected:
    Dialogs() : WindowsPlatformTest("kestro-dialogs") {}

    int readInt(const char* key, int fallback) { return settings_.readSettingInt("Settings", key, fallback); }
};

TEST_F(Dialogs, PaperCheckBoxesExcludeEachOtherButNeverSetTheOtherAndOkStoresTheChoice) {
    settings_.writeSettingInt("Settings", "PdfNShow", 1);
    settings_.writeSettingInt("Settings", "PdfNeShow", 1);
    settings_.writeSettingInt("Settings", "PdfSizeNo", 7);
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        EXPECT_EQ(dialog.caption, "PDF 作成の用紙サイズ");
        const auto expectBoxes = [this, w](bool first, bool second) {
            driver_.step([w, first, second] {
                EXPECT_EQ(checked(w, 1012), first);
                EXPECT_EQ(checked(w, 1013), second);
            });
        };
        expectBoxes(true, true);
        driver_.step([w] { EXPECT_TRUE(checked(w, 1048)); });  // B5
        UiDriver::click(w, 1012);  // clearing one leaves the other alone
        expectBoxes(false, true);
        UiDriver::click(w, 1012);  // checking one clears the other
        expectBoxes(true, false);
        UiDriver::click(w, 1013);
        UiDriver::click(w, 1013);  // clearing it sets nothing
        expectBoxes(false, false);
        UiDriver::click(w, 1012);
        UiDriver::click(w, 1055);  // Landscape, position 4
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_TRUE(driver_.allHandled());
    EXPECT_EQ(state.paperSizeNo, 4);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperDialogNever, 0);
    EXPECT_EQ(readInt("PdfNShow", -1), 1);
    EXPECT_EQ(readInt("PdfNeShow", -1), 0);
    EXPECT_EQ(readInt("PdfSizeNo", -1), 4);
}

TEST_F(Dialogs, PaperDialogDefaultsToA4CancelChangesNothingAndANumberOutOfRangeChecksNothing) {
    BarState state;
    state.paperSizeNo = 9;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] {
            EXPECT_TRUE(checked(w, 1043));
            EXPECT_FALSE(checked(w, 1012) || checked(w, 1013));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        });
        UiDriver::click(w, 1012);
        UiDriver::click(w, 1042);
        UiDriver::click(w, IDCANCEL);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 0);
    EXPECT_EQ(state.paperSizeNo, 9);
    EXPECT_EQ(readInt("PdfSizeNo", -1), -1);
    EXPECT_EQ(readInt("PdfNShow", -1), -1);

    settings_.writeSettingInt("Settings", "PdfSizeNo", 20);
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { EXPECT_EQ(checkedPaperPosition(w), -1); });
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(readInt("PdfSizeNo", 0), -1);
}

TEST_F(Dialogs, IndexOptionsAreStoredAsTyped) {
    BarState state;
    state.indexOptions = "-s myindex";
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        EXPECT_EQ(dialog.caption, "MakeIndex のオプション");
        driver_.step([w] {
            // The dialog shows the file's value, not the bar's.
            EXPECT_EQ(wintest::windowText(w, 1121), "");
            EXPECT_FALSE(checked(w, 1012));
            SetDlgItemTextA(w, 1121, "  -s 索引 -g ");
        });
        UiDriver::click(w, 1012);
        UiDriver::click(w, IDOK);
    });
    editIndexOptions(state, services_);
    EXPECT_EQ(state.indexOptions, "  -s 索引 -g ");
    EXPECT_EQ(state.indexDialogNever, 1);
    // A profile read drops the blanks around a value.
    EXPECT_EQ(settings_.readSettingString("Settings", "MkIdxOpt", "absent"), "-s 索引 -g");
    EXPECT_EQ(readInt("MkIdxNvr", -1), 1);

    // Opened again: the stored text and flag; Cancel keeps them.
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] {
            EXPECT_EQ(wintest::windowText(w, 1121), "-s 索引 -g");
            EXPECT_TRUE(checked(w, 1012));
            SetDlgItemTextA(w, 1121, "changed");
        });
        UiDriver::click(w, IDCANCEL);
    });
    editIndexOptions(state, services_);
    EXPECT_EQ(state.indexOptions, "  -s 索引 -g ");
    EXPECT_EQ(settings_.readSettingString("Settings", "MkIdxOpt", "absent"), "-s 索引 -g");
}

TEST_F(Dialogs, SettingsPanelRunsEachButtonOnItsOwnState) {
    BarState bar;
    bar.texCommand = "platex";
    bar.indexOptions = "-s myindex";
    settings_.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
    const std::string converter = scratch_.file("dvipdfmx.exe");
    wintest::writeFile(converter, "MZ");
    HWND panel = nullptr;
    driver_.expect([&](const SeenWindow& dialog) {
        panel = dialog.window;
        EXPECT_EQ(dialog.caption, "設定");
        driver_.step([&] { EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK); });
        UiDriver::click(panel, 32772);  // TeX の変更
    });
    // Its question, answered Cancel: back to platex.
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_EQ(box.caption, "Kestro");
        EXPECT_NE(box.messageText.find("TeX の compiler を変更します。"), std::string::npos);
        EXPECT_TRUE(wintest::hasButton(box.window, IDCANCEL));
        EXPECT_EQ(wintest::messageBoxIcon(box.window), LoadIcon(nullptr, IDI_EXCLAMATION));
        UiDriver::click(box.window, IDCANCEL);
        driver_.step([&] { UiDriver::click(panel, 32775); });  // dvipdfmx の選択
    });
    // Its box answered OK, then a converter picked in the tool dialog.
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_NE(box.messageText.find("dvipdfmx.exe"), std::string::npos);
        UiDriver::click(box.window, IDOK);
    });
    driver_.expect([&](const SeenWindow& fileDialog) {
        chooseInFileDialog(driver_, fileDialog.window, converter);
        // Esc closes the panel like its 閉じる button.
        driver_.step([&] { PostMessageA(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    openSettingsPanel(bar, services_);
    EXPECT_TRUE(driver_.allHandled());
    EXPECT_EQ(driver_.unexpected(), 0);
    EXPECT_EQ(bar.texCommand, "platex");
    EXPECT_EQ(settings_.readSettingString("Settings", "TeX", "absent"), "absent");
    EXPECT_EQ(bar.dvipdfCommand, converter);
    EXPECT_EQ(settings_.readSettingString("Settings", "DviPdf", ""), converter);
    // Closing re-reads the settings: no stored options give the empty text.
    EXPECT_EQ(bar.indexOptions, "");
}

TEST_F(Dialogs, MessageBoxesShowTextCaptionButtonsAndIcon) {
    const auto box = [](const char* text, BoxButtons buttons, BoxIcon icon) {
        MessageBoxRequest request;
        request.text = text;
        request.caption = "Kestro";
        request.buttons = buttons;
        request.icon = icon;
        return request;
    };
    const MessageBoxRequest question =
        box("TeX のコンパイラー \"platex\" が実行できません。", BoxButtons::OkCancel, BoxIcon::Exclamation);
    // Each row: the box, its icon, how the user ends it (WM_CLOSE: the
    // close box) and the answer that gives.
    const std::vector<std::tuple<MessageBoxRequest, HICON, UINT, Answer>> rows = {
        {question, LoadIcon(nullptr, IDI_EXCLAMATION), IDOK, Answer::Ok},
        {question, LoadIcon(nullptr, IDI_EXCLAMATION), IDCANCEL, Answer::Cancel},
        {question, LoadIcon(nullptr, IDI_EXCLAMATION), WM_CLOSE, Answer::Cancel},
        {box("ファイルが見つかりません", BoxButtons::Ok, BoxIcon::Stop), LoadIcon(nullptr, IDI_HAND), IDOK, Answer::Ok},
        {box("PDF file が開けません！", BoxButtons::Ok, BoxIcon::None), nullptr, IDOK, Answer::Ok},
    };
    for (const auto& [request, icon, action, answer] : rows) {
        driver_.expect([&](const SeenWindow& shown) {
            EXPECT_EQ(shown.caption, "Kestro");
            EXPECT_EQ(shown.messageText, request.text);
            // An OK box may hold a hidden Cancel button; at this point no button is shown yet.
            const bool okCancel = request.buttons == BoxButtons::OkCancel;
            HWND cancel = GetDlgItem(shown.window, IDCANCEL);
            EXPECT_EQ(cancel != nullptr && (okCancel || IsWindowVisible(cancel)), okCancel);
            EXPECT_EQ(wintest::messageBoxIcon(shown.window), icon);
            if (action == WM_CLOSE) PostMessageA(shown.window, WM_CLOSE, 0, 0);
            else UiDriver::click(shown.window, static_cast<int>(action));
        });
        EXPECT_EQ(ui_.showMessage(request), answer) << request.text;
    }
    EXPECT_TRUE(driver_.allHandled());
}

TEST_F(Dialogs, FileDialogReturnsTheChosenPathOrNothing) {
    const std::string document = scratch_.file("論文.tex");
    wintest::writeFile(document, "\\documentclass{jarticle}");
    FileDialogRequest request;
    request.filter = "TeX file (*.tex)|*.tex||";
    request.defaultExtension = "tex";
    request.initialName = "*.tex";
    request.flags = kOfnFileMustExist | kOfnHideReadOnly;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    EXPECT_FALSE(ui_.chooseFile(request).has_value());
    driver_.expect([&](const SeenWindow& dialog) {
        chooseInFileDialog(driver_, dialog.window, document);
    });
    EXPECT_EQ(ui_.chooseFile(request).value_or("cancelled"), document);

    // The filter's separators become zero bytes.
    EXPECT_EQ(fileDialogFilter("実行ファイル(*.exe)|*.exe||"),
              std::string("実行ファイル(*.exe)") + std::string("\0*.exe\0\0", 8));
    // A filter without its closing pair is closed all the same.
    EXPECT_EQ(fileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
    EXPECT_TRUE(driver_.allHandled());
}

}  // namespace
}  // namespace kestro

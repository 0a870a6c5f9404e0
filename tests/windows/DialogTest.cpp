// The dialogs of templates 100, 137, 173 and 198, the message boxes and the
// file dialog, opened for real and driven as a user would.
#include <gtest/gtest.h>

#include "ScriptedUi.h"
#include "Win32Dialogs.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32TestSupport.h"
#include "Win32UserInterface.h"
#include "WindowsPlatformTest.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

using wintest::SeenWindow;
using wintest::UiDriver;

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

class Dialogs : public wintest::WindowsPlatformTest {
protected:
    Dialogs() : WindowsPlatformTest("kestro-dialogs") {}

    int readInt(const char* key, int fallback) { return settings_.readSettingInt("Settings", key, fallback); }
};

TEST_F(Dialogs, PaperDialogOpensOnTheStoredChoiceAndStoresTheNewOne) {
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        EXPECT_EQ(dialog.caption, "PDF 作成の用紙サイズ");
        driver_.step([w] {
            // No keys stored: A4, and both boxes clear.
            EXPECT_TRUE(checked(w, 1043));
            EXPECT_FALSE(checked(w, 1042));
            EXPECT_FALSE(checked(w, 1012));
            EXPECT_FALSE(checked(w, 1013));
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        });
        UiDriver::click(w, 1013);
        UiDriver::click(w, 1055);  // Landscape, position 4
        driver_.step([w] {
            EXPECT_TRUE(checked(w, 1013));
            EXPECT_TRUE(checked(w, 1055));
            EXPECT_FALSE(checked(w, 1043));
        });
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_TRUE(driver_.allHandled());
    EXPECT_EQ(state.paperSizeNo, 4);
    EXPECT_EQ(state.paperDialogNever, 1);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(readInt("PdfNShow", -1), 0);
    EXPECT_EQ(readInt("PdfNeShow", -1), 1);
    EXPECT_EQ(readInt("PdfSizeNo", -1), 4);
}

TEST_F(Dialogs, PaperCheckBoxesExcludeEachOtherButNeverSetTheOther) {
    settings_.writeSettingInt("Settings", "PdfNShow", 1);
    settings_.writeSettingInt("Settings", "PdfNeShow", 1);
    settings_.writeSettingInt("Settings", "PdfSizeNo", 7);
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] {
            EXPECT_TRUE(checked(w, 1012));
            EXPECT_TRUE(checked(w, 1013));
            EXPECT_TRUE(checked(w, 1048));  // B5
        });
        // Clearing 1012 leaves 1013 alone.
        UiDriver::click(w, 1012);
        driver_.step([w] {
            EXPECT_FALSE(checked(w, 1012));
            EXPECT_TRUE(checked(w, 1013));
        });
        // Checking 1012 clears 1013.
        UiDriver::click(w, 1012);
        driver_.step([w] {
            EXPECT_TRUE(checked(w, 1012));
            EXPECT_FALSE(checked(w, 1013));
        });
        // Checking 1013 clears 1012; clearing it sets nothing.
        UiDriver::click(w, 1013);
        UiDriver::click(w, 1013);
        driver_.step([w] {
            EXPECT_FALSE(checked(w, 1012));
            EXPECT_FALSE(checked(w, 1013));
        });
        UiDriver::click(w, 1012);
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(state.paperSizeNo, 7);
    EXPECT_EQ(state.paperSizeSticky, 1);
    EXPECT_EQ(state.paperDialogNever, 0);
    EXPECT_EQ(readInt("PdfNShow", -1), 1);
    EXPECT_EQ(readInt("PdfNeShow", -1), 0);
}

TEST_F(Dialogs, PaperDialogWithAStoredNumberOutOfRangeChecksNothing) {
    settings_.writeSettingInt("Settings", "PdfSizeNo", 20);
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { EXPECT_EQ(checkedPaperPosition(w), -1); });
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(readInt("PdfSizeNo", 0), -1);
}

TEST_F(Dialogs, PaperDialogCancelChangesNothing) {
    BarState state;
    state.paperSizeNo = 9;
    driver_.expect([&](const SeenWindow& dialog) {
        UiDriver::click(dialog.window, 1012);
        UiDriver::click(dialog.window, 1042);
        UiDriver::click(dialog.window, IDCANCEL);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 0);
    EXPECT_EQ(state.paperSizeNo, 9);
    EXPECT_EQ(readInt("PdfSizeNo", -1), -1);
    EXPECT_EQ(readInt("PdfNShow", -1), -1);
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
    settings_.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
    const std::string editor = scratch_.file("エディタ.exe");
    wintest::writeFile(editor, "MZ");
    const std::string converter = scratch_.file("dvipdfmx.exe");
    wintest::writeFile(converter, "MZ");
    settings_.writeSettingString("Settings", "MkIdx", "C:\\old\\mendex.exe");
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
        driver_.step([&] { UiDriver::click(panel, 32774); });  // jBibTeX の選択
    });
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_NE(box.messageText.find("jbibtex.exe"), std::string::npos);
        UiDriver::click(box.window, IDCANCEL);
        driver_.step([&] { UiDriver::click(panel, 32775); });  // dvipdfmx の選択
    });
    // Its box answered OK, then a converter picked in the tool dialog.
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_NE(box.messageText.find("dvipdfmx.exe"), std::string::npos);
        UiDriver::click(box.window, IDOK);
    });
    driver_.expect([&](const SeenWindow& fileDialog) {
        HWND w = fileDialog.window;
        driver_.step([w, converter] {
            SetDlgItemTextA(w, 0x47C, converter.c_str());
            SetDlgItemTextA(w, 0x480, converter.c_str());
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        driver_.step([&] { UiDriver::click(panel, 32778); });  // mendex の選択
    });
    // Its box answered OK, the tool dialog cancelled: back to mendex.
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_NE(box.messageText.find("mendex.exe"), std::string::npos);
        UiDriver::click(box.window, IDOK);
    });
    driver_.expect([&](const SeenWindow& fileDialog) {
        PostMessageA(fileDialog.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        driver_.step([&] { UiDriver::click(panel, 1004); });  // ｴﾃﾞｨﾀ の変更
    });
    // The editor's file dialog: a file typed in and confirmed.
    driver_.expect([&](const SeenWindow& fileDialog) {
        HWND w = fileDialog.window;
        driver_.step([w, editor] {
            SetDlgItemTextA(w, 0x47C, editor.c_str());  // the file name box
            SetDlgItemTextA(w, 0x480, editor.c_str());
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
        driver_.step([&] { UiDriver::click(panel, 32777); });  // MakeIndex のオプション
    });
    driver_.expect([&](const SeenWindow& dialog) {
        EXPECT_EQ(dialog.caption, "MakeIndex のオプション");
        HWND w = dialog.window;
        driver_.step([w] { SetDlgItemTextA(w, 1121, "-g"); });
        UiDriver::click(w, IDOK);
        driver_.step([&] { UiDriver::click(panel, 32776); });  // PDF 用紙設定
    });
    driver_.expect([&](const SeenWindow& dialog) {
        EXPECT_EQ(dialog.caption, "PDF 作成の用紙サイズ");
        UiDriver::click(dialog.window, 1048);
        UiDriver::click(dialog.window, IDOK);
        driver_.step([&] { UiDriver::click(panel, IDOK); });  // 閉じる
    });
    openSettingsPanel(bar, services_);
    EXPECT_TRUE(driver_.allHandled());
    EXPECT_EQ(driver_.unexpected(), 0);
    EXPECT_EQ(bar.texCommand, "platex");
    EXPECT_EQ(settings_.readSettingString("Settings", "TeX", "absent"), "absent");
    EXPECT_EQ(bar.bibtexCommand, "jbibtex");
    EXPECT_EQ(bar.dvipdfCommand, converter);
    EXPECT_EQ(settings_.readSettingString("Settings", "DviPdf", ""), converter);
    EXPECT_EQ(bar.indexCommand, "mendex");
    EXPECT_EQ(settings_.readSettingString("Settings", "MkIdx", "absent"), "absent");
    EXPECT_EQ(bar.editorPath, editor);
    EXPECT_EQ(settings_.readSettingString("Editor", "EDIT", ""), editor);
    EXPECT_EQ(bar.indexOptions, "-g");
    EXPECT_EQ(bar.paperSizeNo, 7);
}

TEST_F(Dialogs, SettingsPanelEndsWithEscapeAndTheCloseBox) {
    BarState bar;
    for (UINT how : {0u, 1u}) {
        driver_.expect([how](const SeenWindow& dialog) {
            if (how == 0) {
                PostMessageA(dialog.window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            } else {
                PostMessageA(dialog.window, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        });
        bar.indexOptions = "-s myindex";
        openSettingsPanel(bar, services_);
        // Closing still re-reads: no stored options give the empty text.
        EXPECT_EQ(bar.indexOptions, "");
    }
    EXPECT_TRUE(driver_.allHandled());
}

TEST_F(Dialogs, AboutBoxShowsItsTemplateAndClosesWithOk) {
    driver_.expect([&](const SeenWindow& dialog) {
        EXPECT_EQ(dialog.caption, "Kestroのﾊﾞｰｼﾞｮﾝ情報");
        HWND w = dialog.window;
        driver_.step([w] {
            bool versionShown = false;
            for (HWND child = GetWindow(w, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
                if (wintest::windowText(child) == "Pelvane Version 3.0") versionShown = true;
            }
            EXPECT_TRUE(versionShown);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
        });
        UiDriver::click(w, IDOK);
    });
    runAboutDialog(GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(driver_.allHandled());
}

TEST_F(Dialogs, MessageBoxesShowTextCaptionButtonsAndIcon) {
    MessageBoxRequest question;
    question.owner = BoxOwner::Application;
    question.text = "TeX のコンパイラー \"platex\" が実行できません。";
    question.caption = "Kestro";
    question.buttons = BoxButtons::OkCancel;
    question.icon = BoxIcon::Exclamation;
    for (int button : {IDOK, IDCANCEL}) {
        driver_.expect([&, button](const SeenWindow& box) {
            EXPECT_EQ(box.caption, "Kestro");
            EXPECT_EQ(box.messageText, question.text);
            EXPECT_TRUE(wintest::hasButton(box.window, IDOK));
            EXPECT_TRUE(wintest::hasButton(box.window, IDCANCEL));
            EXPECT_EQ(wintest::messageBoxIcon(box.window), LoadIcon(nullptr, IDI_EXCLAMATION));
            UiDriver::click(box.window, button);
        });
    }
    EXPECT_EQ(ui_.showMessage(question), Answer::Ok);
    EXPECT_EQ(ui_.showMessage(question), Answer::Cancel);

    // The close box of an OK/Cancel box counts as Cancel.
    driver_.expect([](const SeenWindow& box) { PostMessageA(box.window, WM_CLOSE, 0, 0); });
    EXPECT_EQ(ui_.showMessage(question), Answer::Cancel);

    MessageBoxRequest error;
    error.text = "ファイルが見つかりません";
    error.caption = "Kestro";
    error.icon = BoxIcon::Stop;
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_EQ(box.messageText, error.text);
        EXPECT_FALSE(wintest::hasButton(box.window, IDCANCEL) && IsWindowVisible(GetDlgItem(box.window, IDCANCEL)));
        EXPECT_EQ(wintest::messageBoxIcon(box.window), LoadIcon(nullptr, IDI_HAND));
        UiDriver::click(box.window, IDOK);
    });
    EXPECT_EQ(ui_.showMessage(error), Answer::Ok);

    MessageBoxRequest plain;
    plain.text = "PDF file が開けません！";
    plain.caption = "Kestro";
    driver_.expect([&](const SeenWindow& box) {
        EXPECT_EQ(box.messageText, plain.text);
        EXPECT_EQ(wintest::messageBoxIcon(box.window), nullptr);
        UiDriver::click(box.window, IDOK);
    });
    EXPECT_EQ(ui_.showMessage(plain), Answer::Ok);
    EXPECT_TRUE(driver_.allHandled());
}

TEST(MessageBoxStyle, FollowsTheRequest) {
    MessageBoxRequest box;
    EXPECT_EQ(messageBoxStyle(box), static_cast<UINT>(MB_OK));
    box.buttons = BoxButtons::OkCancel;
    box.icon = BoxIcon::Exclamation;
    EXPECT_EQ(messageBoxStyle(box), static_cast<UINT>(MB_OKCANCEL | MB_ICONEXCLAMATION));
    box.buttons = BoxButtons::Ok;
    box.icon = BoxIcon::Stop;
    box.systemModal = true;
    EXPECT_EQ(messageBoxStyle(box), static_cast<UINT>(MB_OK | MB_ICONHAND | MB_SYSTEMMODAL));
}

TEST(FileDialogFilter, SeparatorsBecomeZeroBytes) {
    const char tex[] = "TeX file (*.tex)\0*.tex\0";  // and the literal's own zero
    EXPECT_EQ(fileDialogFilter("TeX file (*.tex)|*.tex||"), std::string(tex, sizeof tex));
    EXPECT_EQ(fileDialogFilter("実行ファイル(*.exe)|*.exe||"),
              std::string("実行ファイル(*.exe)") + std::string("\0*.exe\0\0", 8));
    // A filter without its closing pair is closed all the same.
    EXPECT_EQ(fileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
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
        HWND w = dialog.window;
        driver_.step([w, document] {
            SetDlgItemTextA(w, 0x47C, document.c_str());
            SetDlgItemTextA(w, 0x480, document.c_str());
            PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        });
    });
    EXPECT_EQ(ui_.chooseFile(request).value_or("cancelled"), document);
    EXPECT_TRUE(driver_.allHandled());
}

}  // namespace
}  // namespace kestro

// The dialogs of templates 137, 173 and 198, the message boxes and the file
// dialog, opened for real: each control reaches its operation.
#include <tuple>

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

class Dialogs : public wintest::WindowsPlatformTest {
protected:
    int readInt(const char* key) { return settings_.readSettingInt("Settings", key, -1); }
};

// The dialog opens on the stored keys; a click on a box runs the model's
// rule; a radio button is a size; OK stores the choice, Cancel nothing, and
// a stored number outside the buttons checks none.
TEST_F(Dialogs, ThePaperDialogsControlsReachTheModel) {
    settings_.writeSettingInt("Settings", "PdfNShow", 1);
    settings_.writeSettingInt("Settings", "PdfNeShow", 1);
    settings_.writeSettingInt("Settings", "PdfSizeNo", 7);
    BarState state;
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        EXPECT_EQ(dialog.caption, "PDF 作成の用紙サイズ");
        driver_.step([w] { EXPECT_TRUE(checked(w, 1012) && checked(w, 1013) && checked(w, 1048)); });
        UiDriver::click(w, 1012);
        UiDriver::click(w, 1012);
        driver_.step([w] { EXPECT_TRUE(checked(w, 1012) && !checked(w, 1013)); });
        UiDriver::click(w, 1055);  // Landscape, position 4
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(state.paperSizeNo, 4);
    EXPECT_EQ(readInt("PdfNeShow"), 0);
    EXPECT_EQ(readInt("PdfSizeNo"), 4);

    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK); });
        UiDriver::click(w, 1042);
        UiDriver::click(w, IDCANCEL);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 0);
    EXPECT_EQ(readInt("PdfSizeNo"), 4);

    settings_.writeSettingInt("Settings", "PdfSizeNo", 20);
    driver_.expect([&](const SeenWindow& dialog) {
        HWND w = dialog.window;
        driver_.step([w] { EXPECT_EQ(checkedPaperPosition(w), -1); });
        UiDriver::click(w, IDOK);
    });
    EXPECT_EQ(choosePaperSize(state, services_), 1);
    EXPECT_EQ(readInt("PdfSizeNo"), -1);
}

// The edit box shows the file's value; OK stores the text as typed and the
// box, Cancel nothing.
TEST_F(Dialogs, TheIndexDialogsControlsReachTheModel) {
    BarState state;
    state.indexOptions = "-s myindex";
    for (const bool ok : {true, false}) {
        driver_.expect([&, ok](const SeenWindow& dialog) {
            HWND w = dialog.window;
            EXPECT_EQ(dialog.caption, "MakeIndex のオプション");
            driver_.step([w, ok] {
                EXPECT_EQ(wintest::windowText(w, 1121), ok ? "" : "-s 索引 -g");
                EXPECT_EQ(checked(w, 1012), !ok);
                SetDlgItemTextA(w, 1121, ok ? "  -s 索引 -g " : "changed");
            });
            if (ok) UiDriver::click(w, 1012);
            UiDriver::click(w, ok ? IDOK : IDCANCEL);
        });
        editIndexOptions(state, services_);
        EXPECT_EQ(state.indexOptions, "  -s 索引 -g ");
        EXPECT_EQ(state.indexDialogNever, 1);
    }
}

// A button runs its operation on the panel's state while the panel stays;
// Esc closes it like 閉じる, and the bar re-reads what was stored.
TEST_F(Dialogs, TheSettingsPanelsButtonsRunTheirOperations) {
    BarState bar;
    settings_.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
    const std::string converter = scratch_.file("dvipdfmx.exe");
    wintest::writeFile(converter, "MZ");
    HWND panel = nullptr;
    driver_.expect([&](const SeenWindow& dialog) {
        panel = dialog.window;
        EXPECT_EQ(dialog.caption, "設定");
        driver_.step([&] { EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK); });
        UiDriver::click(panel, IDC_CHANGE_TEX);
    });
    driver_.expect([&](const SeenWindow& box) {  // its question, answered Cancel
        UiDriver::click(box.window, IDCANCEL);
        driver_.step([&] { UiDriver::click(panel, IDC_CHOOSE_DVIPDF); });
    });
    driver_.expect([&](const SeenWindow& box) { UiDriver::click(box.window, IDOK); });
    driver_.expect([&](const SeenWindow& fileDialog) {
        chooseInFileDialog(driver_, fileDialog.window, converter);
        driver_.step([&] { PostMessageA(panel, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    openSettingsPanel(bar, services_);
    EXPECT_TRUE(driver_.allHandled());
    EXPECT_EQ(bar.texCommand, "platex");
    EXPECT_EQ(bar.dvipdfCommand, converter);
}

// Each row: the box, the icon it shows, how the user ends it (WM_CLOSE:
// the close box) and the answer that gives.
TEST_F(Dialogs, MessageBoxesShowTheirButtonsAndIcon) {
    const auto box = [](BoxButtons buttons, BoxIcon icon) {
        MessageBoxRequest request;
        request.text = "TeX のコンパイラー \"platex\" が実行できません。";
        request.caption = "Kestro";
        request.buttons = buttons;
        request.icon = icon;
        return request;
    };
    const MessageBoxRequest question = box(BoxButtons::OkCancel, BoxIcon::Exclamation);
    const std::tuple<MessageBoxRequest, HICON, UINT, Answer> rows[] = {
        {question, LoadIcon(nullptr, IDI_EXCLAMATION), IDOK, Answer::Ok},
        {question, LoadIcon(nullptr, IDI_EXCLAMATION), WM_CLOSE, Answer::Cancel},
        {box(BoxButtons::Ok, BoxIcon::Stop), LoadIcon(nullptr, IDI_HAND), IDOK, Answer::Ok},
        {box(BoxButtons::Ok, BoxIcon::None), nullptr, IDOK, Answer::Ok},
    };
    for (const auto& [request, icon, action, answer] : rows) {
        driver_.expect([&](const SeenWindow& shown) {
            EXPECT_EQ(shown.caption, "Kestro");
            EXPECT_EQ(shown.messageText, request.text);
            // An OK box may hold a hidden Cancel button.
            HWND cancel = GetDlgItem(shown.window, IDCANCEL);
            EXPECT_EQ(cancel != nullptr && (request.buttons == BoxButtons::OkCancel || IsWindowVisible(cancel)),
                      request.buttons == BoxButtons::OkCancel);
            EXPECT_EQ(wintest::messageBoxIcon(shown.window), icon);
            if (action == WM_CLOSE) {
                PostMessageA(shown.window, WM_CLOSE, 0, 0);
            } else {
                UiDriver::click(shown.window, static_cast<int>(action));
            }
        });
        EXPECT_EQ(ui_.showMessage(request), answer);
    }
}

TEST_F(Dialogs, TheFileDialogReturnsTheChosenPathOrNothing) {
    const std::string document = scratch_.file("論文.tex");
    wintest::writeFile(document, "\\documentclass{jarticle}");
    FileDialogRequest request;
    request.filter = "TeX file (*.tex)|*.tex||";
    request.defaultExtension = "tex";
    request.flags = kOfnFileMustExist | kOfnHideReadOnly;
    driver_.expect([&](const SeenWindow& dialog) {
        driver_.step([w = dialog.window] { PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    EXPECT_FALSE(ui_.chooseFile(request).has_value());
    driver_.expect([&](const SeenWindow& dialog) { chooseInFileDialog(driver_, dialog.window, document); });
    EXPECT_EQ(ui_.chooseFile(request).value_or("cancelled"), document);
    // The filter's separators become zero bytes; a missing closing pair is added.
    EXPECT_EQ(fileDialogFilter("実行ファイル(*.exe)|*.exe||"), std::string("実行ファイル(*.exe)") + std::string("\0*.exe\0\0", 8));
    EXPECT_EQ(fileDialogFilter("A|*.a"), std::string("A\0*.a\0\0", 7));
}

}  // namespace
}  // namespace kestro

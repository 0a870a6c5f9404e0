// The bar's window run for real: each control reaches its operation, and
// what only this window does (the window menu, tooltips, drops from the
// shell, the end of the session).
#include <cstdio>
#include <cstring>

#include "BarDialog.h"
#include "Win32TestSupport.h"
#include "app/BarWindow.h"
#include "resource.h"

#include <shlobj.h>  // DROPFILES

namespace kestro {
namespace {

using wintest::SeenWindow;
using wintest::UiDriver;

// A drop as the shell hands it over: DROPFILES, then the names, each ended
// by a zero byte, and one more zero byte after the last.
WPARAM makeDrop(const std::vector<std::string>& paths) {
    std::string names;
    for (const std::string& path : paths) names += path + '\0';
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + names.size() + 1);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    std::memcpy(drop + 1, names.data(), names.size());
    GlobalUnlock(memory);
    return reinterpret_cast<WPARAM>(memory);
}

class Bar : public wintest::WindowsPlatformTest {
protected:
    void SetUp() override {
        wintest::writeFile(existing_, "x");
        wintest::writeFile(other_, "x");
        settings_.writeSettingString("RFL", "File0", existing_);
        settings_.writeSettingString("RFL", "File1", scratch_.file("vanished.tex"));
        settings_.writeSettingString("RFL", "File2", other_);
    }
    std::string history(int slot) { return settings_.readSettingString("RFL", "File" + std::to_string(slot)); }
    // Runs the bar; `drive` gets its window once it is up.
    void runBar(std::function<void(HWND)> drive) {
        bar_ = std::make_unique<BarWindow>(services_, "");
        BarDialog dialog(GetModuleHandleA(nullptr), *bar_, ui_);
        driver_.expect([drive](const SeenWindow& window) { drive(window.window); });
        // A test that loses its way ends the run instead of hanging it.
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR, DWORD) {
            std::fprintf(stderr, "the bar was still open after 30 s\n");
            ExitProcess(3);
        });
        dialog.run();
        KillTimer(nullptr, watchdog);
        EXPECT_TRUE(driver_.allHandled());
    }

    std::string existing_ = scratch_.file("論文.tex"), other_ = scratch_.file("other.tex");
    std::unique_ptr<BarWindow> bar_;
};

// The window menu's commands 16 to 31 open the version box; a tooltip
// comes from the string table; drops on the bar or on its file button
// reach the document, a .txt first being refused with the bar's box;
// the close box writes the history.
TEST_F(Bar, TheWindowMenuTooltipsAndDropsReachTheirOperations) {
    runBar([&](HWND bar) {
        driver_.step([bar] {
            HMENU menu = GetSystemMenu(bar, FALSE);
            EXPECT_EQ(GetMenuItemID(menu, GetMenuItemCount(menu) - 1), static_cast<UINT>(IDM_ABOUTBOX));
            EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
            NMTTDISPINFOA info{};
            info.hdr = {bar, reinterpret_cast<UINT_PTR>(GetDlgItem(bar, IDC_TEX_BUTTON)), static_cast<UINT>(TTN_NEEDTEXTA)};
            info.uFlags = TTF_IDISHWND;
            char none[] = "none";
            info.lpszText = none;
            SendMessageA(bar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
            EXPECT_EQ(std::string(info.lpszText), "\nTeX のコンパイル");
            PostMessageA(bar, WM_SYSCOMMAND, 31, 0);
        });
        driver_.expect([&, bar](const SeenWindow& about) {
            EXPECT_EQ(about.caption, "Kestroのﾊﾞｰｼﾞｮﾝ情報");
            UiDriver::click(about.window, IDOK);
            driver_.step([&, bar] { PostMessageA(bar, WM_DROPFILES, makeDrop({scratch_.file("notes.txt"), existing_}), 0); });
        });
        driver_.expect([&, bar](const SeenWindow& box) {
            EXPECT_EQ(box.caption, "Kestro");
            UiDriver::click(box.window, IDOK);
            driver_.step([&, bar] {
                SendMessageA(GetDlgItem(bar, IDC_CHOOSE_FILE), WM_DROPFILES, makeDrop({other_}), 0);
                EXPECT_EQ(bar_->state().documentStem, "other");
                EXPECT_EQ(wintest::windowText(GetDlgItem(bar, IDC_HISTORY)), other_);
                PostMessageA(bar, WM_CLOSE, 0, 0);
            });
        });
    });
    EXPECT_EQ(history(0), other_);
}

// The list's choice moves an entry up or forgets a vanished one; Enter in
// the box does not end the bar, Esc does; the end of the session writes the
// history at once, and a called-off end changes nothing.
TEST_F(Bar, PicksEnterEscAndTheEndOfTheSession) {
    runBar([&](HWND bar) {
        driver_.step([&, bar] {
            HWND box = GetDlgItem(bar, IDC_HISTORY);
            for (int pick = 0; pick < 2; ++pick) {
                SendMessageA(box, CB_SETCURSEL, 1, 0);
                SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDC_HISTORY, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
            }
            EXPECT_EQ(SendMessageA(box, CB_GETCOUNT, 0, 0), 2);
            EXPECT_EQ(bar_->state().documentStem, "other");
            SetFocus(box);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_EQ(SendMessageA(bar, WM_QUERYENDSESSION, 0, 0), TRUE);
            EXPECT_EQ(history(0), other_);
            SendMessageA(bar, WM_ENDSESSION, FALSE, 0);
            EXPECT_FALSE(bar_->ended());
            PostMessageA(bar, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        });
    });
    EXPECT_TRUE(bar_->ended());
    EXPECT_EQ(history(1), existing_);
    runBar([&](HWND bar) { driver_.step([bar] { SendMessageA(bar, WM_ENDSESSION, TRUE, 0); }); });
    EXPECT_TRUE(bar_->ended());
}

// The editor is the fake tool: it reports the command line it got.
TEST_F(Bar, TheEditButtonStartsTheEditorOnTheQuotedDocumentInItsDirectory) {
    const std::string editor = scratch_.file("editor.exe"), report = scratch_.file("report.txt");
    wintest::installFakeTool(editor);
    settings_.writeSettingString("Editor", "EDIT", editor);
    wintest::ScopedVariable reportVariable("KESTRO_FAKE_REPORT", report);
    runBar([&](HWND bar) {
        UiDriver::click(bar, IDC_EDIT_BUTTON);
        driver_.step([&, bar] {
            for (int i = 0; i < 100 && wintest::readToolRuns(report).empty(); ++i) Sleep(50);
            PostMessageA(bar, WM_CLOSE, 0, 0);
        });
    });
    const auto runs = wintest::readToolRuns(report);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].commandLine.ends_with(" \"" + existing_ + "\""));
    EXPECT_EQ(runs[0].directory, scratch_.path());
}

}  // namespace
}  // namespace kestro

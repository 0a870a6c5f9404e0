// The bar's window (template 146) run for real: start-up, its message
// table, the history box, drops, tooltips, the window menu and its ends.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <tuple>

#include "BarDialog.h"
#include "WindowsPlatformTest.h"
#include "app/BarWindow.h"
#include "resource.h"

#include <shlobj.h>  // DROPFILES

namespace kestro {
namespace {

using wintest::SeenWindow;
using wintest::UiDriver;

const char* const kBarCaption = "Pelvane: Drag & Drop TeX file";
const char* const kNotTexText = "TeX のファイルではありません！登録して直して下さい！";

// A drop of files as the shell hands it over: DROPFILES and the names,
// each ended by a zero byte, and one more zero byte after the last.
HDROP makeDrop(const std::vector<std::string>& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = FALSE;
    char* names = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

std::vector<std::string> comboEntries(HWND bar) {
    HWND box = GetDlgItem(bar, IDC_HISTORY);
    std::vector<std::string> entries;
    const int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[MAX_PATH * 2];
        const LRESULT length = SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    }
    return entries;
}

class Bar : public wintest::WindowsPlatformTest {
protected:
    Bar() : WindowsPlatformTest("kestro-bar") {}

    void SetUp() override {
        wintest::writeFile(existing_, "x");
        wintest::writeFile(other_, "x");
        settings_.writeSettingString("RFL", "File0", existing_);
        settings_.writeSettingString("RFL", "File1", vanished_);
        settings_.writeSettingString("RFL", "File2", other_);
    }

    std::string historyKey(int slot) { return settings_.readSettingString("RFL", "File" + std::to_string(slot), ""); }
    // The first `count` entries of the history as stored in Kestro.ini.
    std::vector<std::string> history(int count) {
        std::vector<std::string> entries;
        for (int slot = 0; slot < count; ++slot) entries.push_back(historyKey(slot));
        return entries;
    }

    // Runs the bar; `drive` gets the bar's window once it is up.
    void runBar(const std::string& commandTail, std::function<void(HWND)> drive) {
        bar_ = std::make_unique<BarWindow>(services_, commandTail);
        dialog_ = std::make_unique<BarDialog>(GetModuleHandleA(nullptr), *bar_, ui_);
        driver_.expect([drive](const SeenWindow& window) {
            EXPECT_EQ(window.caption, kBarCaption);
            HWND bar = window.window;
            drive(bar);
        });
        // A test that loses its way ends the run instead of hanging it.
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR, DWORD) {
            std::fprintf(stderr, "the bar was still open after 30 s\n");
            std::fflush(nullptr);
            ExitProcess(3);
        });
        dialog_->run();
        KillTimer(nullptr, watchdog);
        EXPECT_TRUE(driver_.allHandled());
        EXPECT_EQ(driver_.unexpected(), 0);
    }

    std::string existing_ = scratch_.file("論文.tex");
    std::string other_ = scratch_.file("other.tex");
    std::string vanished_ = scratch_.file("vanished.tex");
    std::unique_ptr<BarWindow> bar_;
    std::unique_ptr<BarDialog> dialog_;
};

TEST_F(Bar, StartsWithTheStoredHistoryItsWindowStepsTooltipsAndVersionBox) {
    runBar("", [&](HWND bar) {
        driver_.step([&, bar] {
            EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{existing_, vanished_, other_}));
            HWND box = GetDlgItem(bar, IDC_HISTORY);
            EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(wintest::windowText(box), existing_);
            EXPECT_TRUE(SendMessageA(box, CB_GETEXTENDEDUI, 0, 0));
            EXPECT_EQ(bar_->state().documentStem, "論文");
            EXPECT_EQ(bar_->state().documentDir, scratch_.path() + "\\");
            // The focus is in the history box, the first tab stop.
            EXPECT_TRUE(GetFocus() == box || IsChild(box, GetFocus()));

            // The window menu ends with the version box item.
            HMENU menu = GetSystemMenu(bar, FALSE);
            const int items = GetMenuItemCount(menu);
            ASSERT_GE(items, 2);
            EXPECT_EQ(GetMenuItemID(menu, items - 1), static_cast<UINT>(IDM_ABOUTBOX));
            char text[128];
            GetMenuStringA(menu, items - 1, text, sizeof text, MF_BYPOSITION);
            EXPECT_STREQ(text, "Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)...");

            // The window's icons and the drag icon.
            EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(bar, WM_QUERYDRAGICON, 0, 0)), dialog_->appIcon());
            EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(bar, WM_GETICON, ICON_BIG, 0)), dialog_->appIcon());
            EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(bar, WM_GETICON, ICON_SMALL, 0)), dialog_->appIcon());
            // Above all other windows, accepting drops.
            EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
            auto ask = [bar](int controlId, UINT flags) -> std::string {
                NMTTDISPINFOA info{};
                info.hdr.hwndFrom = bar;
                info.hdr.code = TTN_NEEDTEXTA;
                info.hdr.idFrom = flags & TTF_IDISHWND ? reinterpret_cast<UINT_PTR>(GetDlgItem(bar, controlId))
                                                       : static_cast<UINT_PTR>(controlId);
                info.uFlags = flags;
                char marker[] = "none";
                info.lpszText = marker;
                SendMessageA(bar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
                return info.lpszText ? info.lpszText : "";
            };
            // Tooltips come from the control's string resource; no string, no
            // tip, and a tool named by number is not answered.
            const std::tuple<int, UINT, std::string> tips[] = {
                {1000, TTF_IDISHWND, "\nﾌｧｲﾙの編集"},
                {1011, TTF_IDISHWND, "\nTeX のコンパイルからPDF の作成・表示まで"},
                {1010, TTF_IDISHWND, ""},
                {1000, 0, "none"},
            };
            for (const auto& [id, flags, tip] : tips) EXPECT_EQ(ask(id, flags), tip) << id;
        });
        // Window menu commands 16 to 31 open the version box.
        for (int i = 0; i < 2; ++i) {
            driver_.expect([](const SeenWindow& about) {
                EXPECT_EQ(about.caption, "Kestroのﾊﾞｰｼﾞｮﾝ情報");
                UiDriver::click(about.window, IDOK);
            });
        }
        driver_.step([bar] { PostMessageA(bar, WM_SYSCOMMAND, IDM_ABOUTBOX, 0); });
        driver_.step([bar] { PostMessageA(bar, WM_SYSCOMMAND, 31, 0); });
        driver_.step([bar] { PostMessageA(bar, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(driver_.seen().size(), 3u);
    // The paper keys were reset at start-up; the history written back.
    EXPECT_EQ(settings_.readSettingInt("Settings", "PdfSizeNo", -1), 1);
    EXPECT_EQ(history(3), (std::vector<std::string>{existing_, vanished_, other_}));
}

TEST_F(Bar, DropsTakeTheFirstFileAndOnlyTexFiles) {
    const std::string dropped = scratch_.file("DROPPED.TEX");
    runBar("", [&](HWND bar) {
        driver_.expect([&, bar](const SeenWindow& box) {
            EXPECT_EQ(box.messageText, kNotTexText);
            EXPECT_EQ(box.caption, "Kestro");
            EXPECT_EQ(wintest::messageBoxIcon(box.window), nullptr);
            UiDriver::click(box.window, IDOK);
            driver_.step([&, bar] {
                EXPECT_EQ(comboEntries(bar).size(), 3u);
                EXPECT_EQ(bar_->state().documentPath, existing_);
                SendMessageA(bar, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({dropped})), 0);
                EXPECT_EQ(comboEntries(bar).front(), dropped);
                EXPECT_EQ(wintest::windowText(GetDlgItem(bar, IDC_HISTORY)), dropped);
                EXPECT_EQ(bar_->state().documentStem, "DROPPED");
                // A file already listed moves up; the list keeps its length.
                SendMessageA(bar, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({other_})), 0);
                EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{other_, dropped, existing_, vanished_}));
                // Dropped on the file selection button, it counts the same.
                SendMessageA(GetDlgItem(bar, IDC_CHOOSE_FILE), WM_DROPFILES,
                             reinterpret_cast<WPARAM>(makeDrop({existing_})), 0);
                EXPECT_EQ(comboEntries(bar).front(), existing_);
                PostMessageA(bar, WM_CLOSE, 0, 0);
            });
        });
        // A .txt first: refused although a .tex follows.
        PostMessageA(bar, WM_DROPFILES, reinterpret_cast<WPARAM>(makeDrop({scratch_.file("notes.txt"), other_})), 0);
    });
    EXPECT_EQ(history(4), (std::vector<std::string>{existing_, other_, dropped, vanished_}));
}

TEST_F(Bar, PickingAHistoryEntryMovesItUpOrDropsAVanishedOneAndEnterThereDoesNotEndTheBar) {
    runBar("", [&](HWND bar) {
        HWND box = GetDlgItem(bar, IDC_HISTORY);
        auto pick = [bar, box](int index) {
            SendMessageA(box, CB_SETCURSEL, index, 0);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDC_HISTORY, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
        };
        driver_.step([&, bar, box, pick] {
            pick(1);  // vanished: gone from the list, the document stays
            EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{existing_, other_}));
            EXPECT_EQ(bar_->state().documentPath, existing_);
            pick(1);  // other: to the top and current
            EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{other_, existing_}));
            EXPECT_EQ(SendMessageA(box, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(bar_->state().documentStem, "other");
            SetFocus(box);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_FALSE(bar_->ended());
        });
        driver_.step([bar] { PostMessageA(bar, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    // Esc ended the bar and wrote the history like the close box.
    EXPECT_TRUE(bar_->ended());
    EXPECT_EQ(history(2), (std::vector<std::string>{other_, existing_}));
}

TEST_F(Bar, TheEndOfTheSessionWritesTheHistoryAndEndsTheBar) {
    runBar(other_, [&](HWND bar) {
        driver_.step([&, bar] {
            EXPECT_EQ(SendMessageA(bar, WM_QUERYENDSESSION, 0, 0), TRUE);
            // Written at once, the bar still running.
            EXPECT_EQ(historyKey(0), other_);
            EXPECT_FALSE(bar_->ended());
            // An end that was called off changes nothing.
            SendMessageA(bar, WM_ENDSESSION, FALSE, 0);
            EXPECT_FALSE(bar_->ended());
            SendMessageA(bar, WM_ENDSESSION, TRUE, 0);
            EXPECT_TRUE(bar_->ended());
        });
    });
    EXPECT_EQ(historyKey(1), existing_);
}

TEST_F(Bar, TheEditButtonStartsTheEditorOnTheQuotedDocument) {
    // The editor is the fake tool: it reports the command line it got.
    const std::string editor = scratch_.file("editor.exe");
    wintest::installFakeTool(editor);
    settings_.writeSettingString("Editor", "EDIT", editor);
    const std::string report = scratch_.file("report.txt");
    wintest::ScopedVariable reportVariable("KESTRO_FAKE_REPORT", report);
    runBar("", [&](HWND bar) {
        UiDriver::click(bar, IDC_EDIT_BUTTON);
        driver_.step([&] {
            for (int i = 0; i < 100 && wintest::readToolRuns(report).empty(); ++i) Sleep(50);
        });
        driver_.step([bar] { PostMessageA(bar, WM_CLOSE, 0, 0); });
    });
    const auto runs = wintest::readToolRuns(report);
    ASSERT_EQ(runs.size(), 1u);
    // The document always in quotes, started in its directory.
    EXPECT_EQ(runs[0].commandLine.substr(runs[0].commandLine.size() - existing_.size() - 3),
              " \"" + existing_ + "\"");
    EXPECT_EQ(runs[0].directory + "\\", scratch_.path() + "\\");
}

}  // namespace
}  // namespace kestro

// The bar's window (template 146) run for real: each control reaches its
// operation, and what only this window does (its icons, the window menu,
// tooltips, drops from the shell, the end of the session).
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

// A drop as the shell hands it over: DROPFILES and the names, each ended by
// a zero byte, and one more zero byte after the last.
WPARAM makeDrop(const std::vector<std::string>& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, size);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    char* names = reinterpret_cast<char*>(drop) + sizeof(DROPFILES);
    for (const std::string& path : paths) {
        std::memcpy(names, path.c_str(), path.size() + 1);
        names += path.size() + 1;
    }
    GlobalUnlock(memory);
    return reinterpret_cast<WPARAM>(memory);
}

std::vector<std::string> comboEntries(HWND bar) {
    HWND box = GetDlgItem(bar, IDC_HISTORY);
    std::vector<std::string> entries;
    for (LRESULT i = 0, count = SendMessageA(box, CB_GETCOUNT, 0, 0); i < count; ++i) {
        char text[MAX_PATH * 2];
        const LRESULT length = SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    }
    return entries;
}

class Bar : public wintest::WindowsPlatformTest {
protected:
    void SetUp() override {
        wintest::writeFile(existing_, "x");
        wintest::writeFile(other_, "x");
        settings_.writeSettingString("RFL", "File0", existing_);
        settings_.writeSettingString("RFL", "File1", vanished_);
        settings_.writeSettingString("RFL", "File2", other_);
    }
    std::vector<std::string> history(int count) {
        std::vector<std::string> entries;
        for (int slot = 0; slot < count; ++slot) entries.push_back(settings_.readSettingString("RFL", "File" + std::to_string(slot)));
        return entries;
    }
    // Runs the bar; `drive` gets its window once it is up.
    void runBar(const std::string& commandTail, std::function<void(HWND)> drive) {
        dialog_.reset();
        bar_ = std::make_unique<BarWindow>(services_, commandTail);
        dialog_ = std::make_unique<BarDialog>(GetModuleHandleA(nullptr), *bar_, ui_);
        driver_.expect([drive](const SeenWindow& window) {
            EXPECT_EQ(window.caption, "Pelvane: Drag & Drop TeX file");
            drive(window.window);
        });
        // A test that loses its way ends the run instead of hanging it.
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 30000, [](HWND, UINT, UINT_PTR, DWORD) {
            std::fprintf(stderr, "the bar was still open after 30 s\n");
            ExitProcess(3);
        });
        dialog_->run();
        KillTimer(nullptr, watchdog);
        EXPECT_TRUE(driver_.allHandled());
    }

    std::string existing_ = scratch_.file("論文.tex"), other_ = scratch_.file("other.tex");
    std::string vanished_ = scratch_.file("vanished.tex");
    std::unique_ptr<BarWindow> bar_;
    std::unique_ptr<BarDialog> dialog_;
};

// The stored history in the box, the focus in it, the icons, the window
// menu's version box (commands 16 to 31), the tooltips of the string
// table, and the history written back at the end.
TEST_F(Bar, StartsWithItsHistoryIconsMenuAndTooltips) {
    runBar("", [&](HWND bar) {
        driver_.step([&, bar] {
            HWND box = GetDlgItem(bar, IDC_HISTORY);
            EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{existing_, vanished_, other_}));
            EXPECT_EQ(wintest::windowText(box), existing_);
            EXPECT_TRUE(SendMessageA(box, CB_GETEXTENDEDUI, 0, 0));
            EXPECT_TRUE(GetFocus() == box || IsChild(box, GetFocus()));
            HMENU menu = GetSystemMenu(bar, FALSE);
            EXPECT_EQ(GetMenuItemID(menu, GetMenuItemCount(menu) - 1), static_cast<UINT>(IDM_ABOUTBOX));
            for (const UINT query : {WM_QUERYDRAGICON, WM_GETICON}) {
                EXPECT_EQ(reinterpret_cast<HICON>(SendMessageA(bar, query, ICON_BIG, 0)), dialog_->appIcon());
            }
            EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_TOPMOST);
            EXPECT_TRUE(GetWindowLongPtrA(bar, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
            // A tool named by its window gets its string; one named by number none.
            const std::tuple<int, UINT, std::string> tips[] = {
                {1011, TTF_IDISHWND, "\nTeX のコンパイルからPDF の作成・表示まで"}, {1010, TTF_IDISHWND, ""}, {1000, 0, "none"}};
            for (const auto& [id, flags, tip] : tips) {
                NMTTDISPINFOA info{};
                info.hdr = {bar, flags & TTF_IDISHWND ? reinterpret_cast<UINT_PTR>(GetDlgItem(bar, id)) : static_cast<UINT_PTR>(id),
                            static_cast<UINT>(TTN_NEEDTEXTA)};
                info.uFlags = flags;
                char marker[] = "none";
                info.lpszText = marker;
                SendMessageA(bar, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
                EXPECT_EQ(std::string(info.lpszText ? info.lpszText : ""), tip) << id;
            }
        });
        for (const int command : {IDM_ABOUTBOX, 31}) {
            driver_.expect([](const SeenWindow& about) {
                EXPECT_EQ(about.caption, "Kestroのﾊﾞｰｼﾞｮﾝ情報");
                UiDriver::click(about.window, IDOK);
            });
            driver_.step([bar, command] { PostMessageA(bar, WM_SYSCOMMAND, command, 0); });
        }
        driver_.step([bar] { PostMessageA(bar, WM_CLOSE, 0, 0); });
    });
    EXPECT_EQ(settings_.readSettingInt("Settings", "PdfSizeNo", -1), 1);
    EXPECT_EQ(history(3), (std::vector<std::string>{existing_, vanished_, other_}));
}

// Drops on the bar or its file button reach the document; a .txt first is
// refused with the bar's box although a .tex follows.
TEST_F(Bar, DropsReachTheDocument) {
    const std::string dropped = scratch_.file("DROPPED.TEX");
    runBar("", [&](HWND bar) {
        driver_.expect([&, bar](const SeenWindow& box) {
            EXPECT_EQ(box.caption, "Kestro");
            EXPECT_EQ(wintest::messageBoxIcon(box.window), nullptr);
            UiDriver::click(box.window, IDOK);
            driver_.step([&, bar] {
                EXPECT_EQ(bar_->state().documentPath, existing_);
                SendMessageA(bar, WM_DROPFILES, makeDrop({dropped}), 0);
                EXPECT_EQ(bar_->state().documentStem, "DROPPED");
                EXPECT_EQ(wintest::windowText(GetDlgItem(bar, IDC_HISTORY)), dropped);
                SendMessageA(GetDlgItem(bar, IDC_CHOOSE_FILE), WM_DROPFILES, makeDrop({other_}), 0);
                EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{other_, dropped, existing_, vanished_}));
                PostMessageA(bar, WM_CLOSE, 0, 0);
            });
        });
        PostMessageA(bar, WM_DROPFILES, makeDrop({scratch_.file("notes.txt"), other_}), 0);
    });
}

// The list's choice moves an entry up or forgets a vanished one; Enter in
// the box does not end the bar, Esc does, like the close box; so does the
// end of the session, which writes the history at once.
TEST_F(Bar, PicksEnterEscAndTheEndOfTheSession) {
    runBar("", [&](HWND bar) {
        HWND box = GetDlgItem(bar, IDC_HISTORY);
        const auto pick = [bar, box](int index) {
            SendMessageA(box, CB_SETCURSEL, index, 0);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDC_HISTORY, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
        };
        driver_.step([&, bar, box, pick] {
            pick(1);
            pick(1);
            EXPECT_EQ(comboEntries(bar), (std::vector<std::string>{other_, existing_}));
            EXPECT_EQ(bar_->state().documentStem, "other");
            SetFocus(box);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
            EXPECT_FALSE(bar_->ended());
        });
        driver_.step([bar] { PostMessageA(bar, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0); });
    });
    EXPECT_TRUE(bar_->ended());
    EXPECT_EQ(history(2), (std::vector<std::string>{other_, existing_}));

    runBar(existing_, [&](HWND bar) {
        driver_.step([&, bar] {
            EXPECT_EQ(SendMessageA(bar, WM_QUERYENDSESSION, 0, 0), TRUE);
            EXPECT_EQ(history(1), std::vector<std::string>{existing_});
            EXPECT_FALSE(bar_->ended());
            SendMessageA(bar, WM_ENDSESSION, FALSE, 0);  // called off
            EXPECT_FALSE(bar_->ended());
            SendMessageA(bar, WM_ENDSESSION, TRUE, 0);
            EXPECT_TRUE(bar_->ended());
        });
    });
}

// The editor is the fake tool: it reports the command line it got.
TEST_F(Bar, TheEditButtonStartsTheEditorOnTheQuotedDocumentInItsDirectory) {
    const std::string editor = scratch_.file("editor.exe"), report = scratch_.file("report.txt");
    wintest::installFakeTool(editor);
    settings_.writeSettingString("Editor", "EDIT", editor);
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
    EXPECT_TRUE(runs[0].commandLine.ends_with(" \"" + existing_ + "\""));
    EXPECT_EQ(runs[0].directory + "\\", scratch_.path() + "\\");
}

}  // namespace
}  // namespace kestro

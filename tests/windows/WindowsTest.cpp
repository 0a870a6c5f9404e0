// The Windows layer for real: the command-line tail, files, programs (copies
// of the fake tool) started through the core's launcher; the bar's window
// and dialogs, each control reaching its operation, and what only these
// windows do (the window menu, tooltips, drops, the end of the session,
// message boxes, the file dialog's filter).
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "BarDialog.h"
#include "Win32Desktop.h"
#include "CommandTail.h"
#include "FakePlatform.h"
#include "Win32Dialogs.h"
#include "Win32TestSupport.h"
#include "app/BarWindow.h"
#include "app/Startup.h"
#include "pipeline/Launcher.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"

#include <shlobj.h>  // DROPFILES

namespace kestro {
namespace {

using wintest::checked;
using wintest::ScopedVariable;
using wintest::ScratchDirectory;
using wintest::SeenWindow;
using wintest::UiDriver;

TEST(CommandLineTail, SkipsTheProgramNameAsTheCRuntimeCutsItAndKeepsTheRestExactly) {
    const std::pair<const char*, const char*> cases[] = {
        {"Kestro.exe \t  paper.tex", "paper.tex"}, {"C:\\\"Program Files\"\\Kestro.exe x", "x"},
        {"Kestro.exe \"C:\\my work\\paper.tex\"", "\"C:\\my work\\paper.tex\""},
        {"Kestro.exe C:\\my work\\paper.tex  ", "C:\\my work\\paper.tex  "}, {"C:\\表\\Kestro.exe C:\\表\\ソ.tex", "C:\\表\\ソ.tex"},
    };
    for (const auto& [line, tail] : cases) EXPECT_EQ(commandLineTail(line), tail) << line;
}

// Exactly that name (a pattern is no name), times at their 100 ns, the
// subdirectories of a directory whose name ends in 表 (second byte 0x5C),
// a file being written read whole, and the causes of failed reads.
TEST(Win32FileSystem, NamesTimesDirectoriesAndReads) {
    ScratchDirectory scratch("kestro-fs");
    Win32FileSystem files;
    const std::string log = scratch.file("paper.log");
    HANDLE writer = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string content = "This is pTeX\r\n" + std::string(100000, 'l') + "\r\nLaTeX Warning: ラベル\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(files.readWholeFile(log), content);
    ULARGE_INTEGER ticks;
    ticks.QuadPart = 133485408000000003ULL;  // 2024-01-01 00:00:00 UTC and 3 ticks of 100 ns
    const FILETIME stamp{ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(SetFileTime(writer, nullptr, nullptr, &stamp));
    CloseHandle(writer);
    EXPECT_EQ(files.modificationTime(log).value_or(0), 1704067200LL * 1000000000LL + 300);
    EXPECT_FALSE(files.exists(scratch.file("*.log")) || files.exists(scratch.file("paper.lo?")));

    const std::string table = scratch.makeDirectory("表");
    CreateDirectoryA((table + "\\bin").c_str(), nullptr);
    EXPECT_EQ(files.subdirectories(table), (std::vector<std::string>{"bin"}));

    HANDLE exclusive = CreateFileA(scratch.file("locked.aux").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::pair<std::string, FileErrorCause> failures[] = {
        {scratch.file("locked.aux"), FileErrorCause::SharingViolation}, {scratch.file("absent.log"), FileErrorCause::NotFound},
        {scratch.file("no-such-directory\\paper.log"), FileErrorCause::InvalidPath}, {"NUL", FileErrorCause::Other},
    };
    for (const auto& [path, cause] : failures) {
        try {
            files.readWholeFile(path);
            ADD_FAILURE() << "read " << path;
        } catch (const FileError& error) {
            if (path != "NUL") EXPECT_EQ(error.cause(), cause) << path;
        }
    }
    CloseHandle(exclusive);
}

class Launching : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.setCurrentDirectory(documentDir_)); }
    void TearDown() override { files_.setCurrentDirectory(previous_); }
    std::vector<wintest::ToolRun> runs() const { return wintest::readToolRuns(report_); }

    ScratchDirectory scratch_{"kestro-run"};
    std::string documentDir_ = scratch_.makeDirectory("document"), toolDir_ = scratch_.makeDirectory("bin");
    std::string report_ = scratch_.file("report.txt");
    ScopedVariable reportVariable_{"KESTRO_FAKE_REPORT", report_}, path_{"PATH", toolDir_};
    fake::FakeBar fake_{PlatformRules::windows()};
    Win32FileSystem files_;
    std::string previous_ = files_.currentDirectory().value_or("");
    Win32Processes processes_;
    Services services_{PlatformRules::windows(), fake_.settings, files_, processes_, fake_.ui, fake_.ui, "Kestro", &fake_.ui};
};

// A bare name is found along PATH, never beside the document (platex.com,
// jbibtex.exe, planted.exe there never run), and runs in the document's
// directory; a console tool gets a console of its own; exit codes come back
// signed, so 4294967295 reads as a tool not started; a batch file (run by
// cmd.exe) gets a name with & as one word and one with % not at all; and
// startable means a file of exactly that name.
TEST_F(Launching, ToolsComeFromPathRunInTheDocumentsDirectoryAndGetTheirWords) {
    wintest::installFakeTool(toolDir_ + "\\platex.exe");
    wintest::writeFile(toolDir_ + "\\jbibtex.bat", "@\"%~dp0platex.exe\" %*\r\n");
    for (const char* planted : {"\\platex.com", "\\jbibtex.exe", "\\planted.exe"}) wintest::installFakeTool(documentDir_ + planted);
    const bool hadConsole = GetConsoleWindow() != nullptr || GetConsoleCP() != 0;
    FreeConsole();
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{{"256", 256}, {"4294967295", -1}}) {
        ScopedVariable exitCode("KESTRO_FAKE_EXIT", text);
        EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), expected) << text;
    }
    if (hadConsole) AttachConsole(ATTACH_PARENT_PROCESS);
    EXPECT_EQ(runAndWait(services_, "jbibtex", {stemPart("x&planted")}), 0);
    EXPECT_EQ(runAndWait(services_, "jbibtex", {stemPart("x%OS%")}), kStartRefused);
    EXPECT_NE(fake_.ui.boxTexts().at(0).find("「%」"), std::string::npos);
    ASSERT_EQ(runs().size(), 3u);
    EXPECT_TRUE(runs()[0].console);
    for (const wintest::ToolRun& run : runs()) EXPECT_EQ(run.module, toolDir_ + "\\platex.exe");
    EXPECT_EQ(runs()[2].arguments, (std::vector<std::string>{toolDir_ + "\\platex.exe", "x&planted"}));
    EXPECT_EQ(runs()[0].directory, documentDir_);
    for (const std::string& name : {documentDir_ + "\\platex", documentDir_ + "\\*.exe", std::string()}) {
        EXPECT_FALSE(processes_.isStartable(name)) << name;
    }
}

// The C runtime of a tool splits its command line into the words the core
// expects, also for stems that end in a character whose second byte is 0x5C.
TEST_F(Launching, ToolsSplitTheirCommandLineAsTheCoreDoes) {
    const std::string program = scratch_.makeDirectory("TeX 表ソ") + "\\mendex.exe";
    wintest::installFakeTool(program);
    std::size_t run = 0;
    for (const std::string stem : {"my paper", "能 表", "a ソ"}) {
        EXPECT_EQ(runAndWait(services_, program, {optionsPart("-s my"), stemPart(stem)}), 0);
        EXPECT_EQ(runs().at(run++).arguments, (std::vector<std::string>{program, "-s", "my", stem}));
    }
}

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

// The Windows settings stack and platform over a scratch directory, a driver
// that plays the user, and the bar on them.
class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        wintest::writeFile(existing_, "x");
        wintest::writeFile(other_, "x");
        settings_.writeSettingString("RFL", "File0", existing_);
        settings_.writeSettingString("RFL", "File1", other_);
    }
    std::string history(int slot) { return settings_.readSettingString("RFL", "File" + std::to_string(slot)); }
    // Runs the bar; `drive` gets its window once it is up.
    void runBar(std::function<void(HWND)> drive) {
        bar_ = std::make_unique<BarWindow>(services_, "");
        BarDialog dialog(GetModuleHandleA(nullptr), *bar_, ui_, desktop_);
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

    ScratchDirectory scratch_;
    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    Win32Processes processes_;
    Win32Desktop desktop_;
    Win32UserInterface ui_{GetModuleHandleA(nullptr)};
    Services services_{PlatformRules::windows(), settings_, files_, processes_, desktop_, ui_, "Kestro", &ui_};
    UiDriver driver_;
    std::string existing_ = scratch_.file("論文.tex"), other_ = scratch_.file("other.tex");
    std::unique_ptr<BarWindow> bar_;
};

// The window menu's commands 16 to 31 open the version box; a tooltip
// comes from the string table; a drop on the file button reaches the
// document; Edit starts the editor on the quoted document in its directory.
TEST_F(Windows, TheBarsMenuTooltipsDropsAndEditButtonReachTheirOperations) {
    const std::string editor = scratch_.file("editor.exe"), report = scratch_.file("report.txt");
    wintest::installFakeTool(editor);
    settings_.writeSettingString("Editor", "EDIT", editor);
    wintest::ScopedVariable reportVariable("KESTRO_FAKE_REPORT", report);
    runBar([&](HWND bar) {
        driver_.step([bar] {
            HMENU menu = GetSystemMenu(bar, FALSE);
            EXPECT_EQ(GetMenuItemID(menu, GetMenuItemCount(menu) - 1), static_cast<UINT>(IDM_ABOUTBOX));
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
            driver_.step([&, bar] {
                // Read whole and refused: cut to 259 bytes, this name would end in ".tex".
                const std::string tooLong = scratch_.file(std::string(254 - scratch_.path().size(), 'a') + ".tex.txt");
                driver_.expect([&](const SeenWindow& box) {
                    EXPECT_EQ(box.messageText, fileErrorText(FileError(FileErrorCause::InvalidPath, tooLong)));
                    UiDriver::click(box.window, IDOK);
                });
                SendMessageA(GetDlgItem(bar, IDC_CHOOSE_FILE), WM_DROPFILES, makeDrop({tooLong}), 0);
                SendMessageA(GetDlgItem(bar, IDC_CHOOSE_FILE), WM_DROPFILES, makeDrop({other_}), 0);
                EXPECT_EQ(wintest::windowText(GetDlgItem(bar, IDC_HISTORY)), other_);
                UiDriver::click(bar, IDC_EDIT_BUTTON);
                driver_.step([&, bar] {
                    for (int i = 0; i < 100 && wintest::readToolRuns(report).empty(); ++i) Sleep(50);
                    PostMessageA(bar, WM_CLOSE, 0, 0);
                });
            });
        });
    });
    EXPECT_EQ(history(0), other_);
    const auto runs = wintest::readToolRuns(report);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_TRUE(runs[0].commandLine.ends_with(" \"" + other_ + "\""));
    EXPECT_EQ(runs[0].directory, scratch_.path());
}

// From a start folder of 249 bytes the settings path would pass 259 bytes:
// nothing is written (the profile functions would cut the path and write
// files of other names into the folder).
TEST(StartFolder, TooLongForTheSettingsFileGetsNothingWritten) {
    ScratchDirectory scratch("kestro-start");
    Win32FileSystem files;
    const std::string previous = files.currentDirectory().value_or(""), folder = scratch.makeDirectory(std::string(248 - scratch.path().size(), 'd'));
    ASSERT_TRUE(files.setCurrentDirectory(folder));
    Win32Profile profile;
    SettingsFile(profile, settingsPathForStart(PlatformRules::windows(), files.currentDirectory())).writeSettingInt("Settings", "Acr", 1);
    files.setCurrentDirectory(previous);
    EXPECT_TRUE(std::filesystem::is_empty(folder));
}

// The list's choice is a pick of the history; Enter in the box does not
// end the bar, Esc does; the end of the session writes the history at once,
// and a called-off end changes nothing.
TEST_F(Windows, TheBarsHistoryEnterEscAndTheEndOfTheSession) {
    runBar([&](HWND bar) {
        driver_.step([&, bar] {
            HWND box = GetDlgItem(bar, IDC_HISTORY);
            SendMessageA(box, CB_SETCURSEL, 1, 0);
            SendMessageA(bar, WM_COMMAND, MAKEWPARAM(IDC_HISTORY, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
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
    runBar([&](HWND bar) { driver_.step([bar] { SendMessageA(bar, WM_ENDSESSION, TRUE, 0); }); });
    EXPECT_TRUE(bar_->ended());
}

// The paper dialog opens on the stored keys, a click on a box reaches the
// model, a radio button is a size and OK stores them; the index dialog
// shows the file's text and stores what is typed; a button of the panel
// runs its operation, Esc closes it and the bar re-reads the file.
TEST_F(Windows, TheDialogsControlsReachTheirOperations) {
    settings_.writeSettingInt("Settings", "PdfNeShow", 1);
    settings_.writeSettingInt("Settings", "PdfSizeNo", 7);
    settings_.writeSettingString("Settings", "MkIdxOpt", "-g");
    settings_.writeSettingString("Settings", "TeX", "C:\\tex\\bin\\platex.exe");
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
    HWND panel = nullptr;
    driver_.expect([&](const SeenWindow& dialog) { UiDriver::click(panel = dialog.window, IDC_CHANGE_TEX); });
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

// A question shows its icon and OK and Cancel, and its close box answers
// Cancel; a stop box shows its icon; the file dialog gives the chosen path
// or nothing.
TEST_F(Windows, MessageBoxesAndTheFileDialogAnswerAsTheUserDid) {
    const std::tuple<BoxButtons, BoxIcon, HICON, UINT, Answer> rows[] = {
        {BoxButtons::OkCancel, BoxIcon::Exclamation, LoadIcon(nullptr, IDI_EXCLAMATION), WM_CLOSE, Answer::Cancel},
        {BoxButtons::Ok, BoxIcon::Stop, LoadIcon(nullptr, IDI_HAND), IDOK, Answer::Ok},
    };
    for (const auto& [buttons, icon, shownIcon, action, answer] : rows) {
        const MessageBoxRequest request{BoxOwner::Bar, "TeX のコンパイラー", "Kestro", buttons, icon};
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
    const FileDialogRequest request{FileKind::TexDocument, FileChoice::Document};
    for (const bool choose : {false, true}) {
        driver_.expect([&, choose](const SeenWindow& dialog) {
            driver_.step([w = dialog.window, choose, this] {
                SetDlgItemTextA(w, 0x47C, existing_.c_str());
                SetDlgItemTextA(w, 0x480, existing_.c_str());
                PostMessageA(w, WM_COMMAND, MAKEWPARAM(choose ? IDOK : IDCANCEL, BN_CLICKED), 0);
            });
        });
        EXPECT_EQ(ui_.chooseFile(request).value_or("cancelled"), choose ? existing_ : "cancelled");
    }
}

}  // namespace
}  // namespace kestro

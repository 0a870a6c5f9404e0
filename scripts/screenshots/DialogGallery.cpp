// Opens one window of the bar for a screenshot (scripts/screenshots-windows.sh):
//   bar | bar-history | bar-tooltip | about | settings | paper | index | message
// Settings come from Kestro.ini in the current directory; the window stays
// until it is closed.
#include <cstring>
#include <optional>
#include <string>

#include "BarDialog.h"
#include "Win32Desktop.h"
#include "CommandTail.h"
#include "Win32Api.h"
#include "Win32Dialogs.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32UserInterface.h"
#include "app/Startup.h"
#include "app/BarWindow.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "resource.h"

namespace {

HWND barWindow = nullptr;

// After the bar is up: open the history list, or move the mouse over the
// one-click button so that its tooltip shows.
void CALLBACK openHistory(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    SendDlgItemMessageA(barWindow, IDC_HISTORY, CB_SHOWDROPDOWN, TRUE, 0);
}

void CALLBACK hoverOneClick(HWND, UINT, UINT_PTR timer, DWORD) {
    static int moves = 0;
    HWND button = GetDlgItem(barWindow, IDC_ONECLICK_BUTTON);
    RECT area;
    GetWindowRect(button, &area);
    POINT centre{(area.left + area.right) / 2, (area.top + area.bottom) / 2};
    SetCursorPos(centre.x, centre.y);
    // The mouse over the button, as the tooltip sees it.
    HWND tip = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) -> BOOL {
            char name[64];
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpiA(name, TOOLTIPS_CLASSA) != 0) return TRUE;
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&tip));
    if (tip != nullptr) {
        POINT client = centre;
        ScreenToClient(button, &client);
        MSG message{};
        message.hwnd = button;
        message.message = WM_MOUSEMOVE;
        message.lParam = MAKELPARAM(client.x, client.y);
        message.time = GetTickCount();
        message.pt = centre;
        SendMessageA(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&message));
        if (moves == 6) {
            // Long enough to be photographed.
            SendMessageA(tip, TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(30000, 0));
            SendMessageA(tip, TTM_POPUP, 0, 0);
        }
    }
    if (++moves > 6) KillTimer(nullptr, timer);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace kestro;
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    const std::string what = commandLineTail(GetCommandLineA());
    char directory[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, directory);
    const PlatformRules rules = PlatformRules::windows();
    Win32Profile profile;
    SettingsFile settings(profile, settingsPathForStart(rules, std::string(directory)));
    Win32FileSystem files;
    Win32Processes processes;
    Win32Desktop desktop;
    Win32UserInterface ui(instance);
    Services services{rules, settings, files, processes, desktop, ui, "Kestro", &ui};

    if (what.rfind("bar", 0) == 0) {
        BarWindow bar(services, "");
        BarDialog dialog(instance, bar, ui, desktop);
        if (what == "bar-history" || what == "bar-tooltip") {
            SetTimer(nullptr, 0, what == "bar-history" ? 1500 : 700, what == "bar-history" ? openHistory : hoverOneClick);
        }
        // The window is known once it is activated.
        SetWindowsHookExA(
            WH_CBT,
            [](int code, WPARAM wParam, LPARAM lParam) -> LRESULT {
                if (code == HCBT_ACTIVATE && barWindow == nullptr) barWindow = reinterpret_cast<HWND>(wParam);
                return CallNextHookEx(nullptr, code, wParam, lParam);
            },
            nullptr, GetCurrentThreadId());
        dialog.run();
    } else if (what == "about") {
        runAboutDialog(instance, nullptr);
    } else if (what == "settings") {
        SettingsDialog panel(services);
        runSettingsDialogWindow(instance, nullptr, panel);
    } else if (what == "paper") {
        PaperSizeDialog paper(settings);
        runPaperSizeDialogWindow(instance, nullptr, paper);
    } else if (what == "index") {
        IndexOptionsDialog index(settings);
        runIndexOptionsDialogWindow(instance, nullptr, index);
    } else if (what == "message") {
        showAppMessage(services,
                       "TeX のコンパイラー \"platex\" が実行できません。パスが通ってない可能性があります。\n"
                       "もし TeX をインストールしているなら、自分で選択してください。",
                       BoxButtons::OkCancel);
    } else {
        return 2;
    }
    return 0;
}

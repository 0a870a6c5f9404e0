// Helpers of the tests that run on Windows (or Wine): scratch directories,
// files, the fake tool, and a driver that plays the user on real windows.
#pragma once

#include <gtest/gtest.h>

#include "Win32Api.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32UserInterface.h"
#include "state/Services.h"

#include <shellapi.h>

#include <cstdlib>
#include <deque>
#include <optional>
#include <fstream>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace kestro::wintest {

// A fresh directory under the temporary directory, removed with its
// content at the end. The path has no final backslash.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name = "kestro") {
        static unsigned counter = 0;
        char temp[MAX_PATH];
        std::string base(temp, GetTempPathA(MAX_PATH, temp));
        if (!base.empty() && base.back() == '\\') base.pop_back();
        do {
            path_ = base + "\\" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
        } while (!CreateDirectoryA(path_.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    }
    ~ScratchDirectory() {
        const std::string from = path_ + '\0';  // a list of paths, ended by an empty one
        SHFILEOPSTRUCTA operation{};
        operation.wFunc = FO_DELETE;
        operation.pFrom = from.c_str();
        operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
        SHFileOperationA(&operation);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    std::string makeDirectory(const std::string& name) const {
        CreateDirectoryA(file(name).c_str(), nullptr);
        return file(name);
    }

private:
    std::string path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
    ASSERT_TRUE(std::ofstream(path, std::ios::binary) << content) << path;
}

// Copies the fake tool built beside the test executable to `path`. Each
// run of it appends what it got to the report file KESTRO_FAKE_REPORT names.
inline void installFakeTool(const std::string& path) {
    char module[MAX_PATH];
    std::string fakeTool(module, GetModuleFileNameA(nullptr, module, MAX_PATH));
    fakeTool = fakeTool.substr(0, fakeTool.find_last_of("\\/")) + "\\kestro_fake_tool.exe";
    ASSERT_TRUE(CopyFileA(fakeTool.c_str(), path.c_str(), FALSE)) << "cannot copy the fake tool to " << path;
}
struct ToolRun {
    std::string module, commandLine, directory;
    bool console = false;
    std::vector<std::string> arguments;
};
inline std::vector<ToolRun> readToolRuns(const std::string& reportPath) {
    std::vector<ToolRun> runs(1);
    std::stringstream in;
    in << std::ifstream(reportPath, std::ios::binary).rdbuf();
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals), value = equals == std::string::npos ? "" : line.substr(equals + 1);
        ToolRun& run = runs.back();
        if (key == "end") runs.emplace_back();
        if (key == "module") run.module = value;
        if (key == "command") run.commandLine = value;
        if (key == "directory") run.directory = value;
        if (key == "console") run.console = value == "1";
        if (key == "arg") run.arguments.push_back(value);
    }
    runs.pop_back();
    return runs;
}

// Sets an environment variable of this process (and of the tools it
// starts) for the life of the object; then it is as it was.
struct ScopedVariable {
    // The value at the start of the test program (the tests set no other).
    ScopedVariable(const std::string& name, const std::string& value) : name(name), previous(std::getenv(name.c_str())) {
        SetEnvironmentVariableA(name.c_str(), value.c_str());
    }
    ~ScopedVariable() { SetEnvironmentVariableA(name.c_str(), previous); }
    std::string name;
    const char* previous;
};

// The text of a control, or of the window itself with id 0.
inline std::string windowText(HWND window, int controlId = 0) {
    HWND target = controlId == 0 ? window : GetDlgItem(window, controlId);
    char buffer[4096];
    const int length = target ? GetWindowTextA(target, buffer, sizeof buffer) : 0;
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}
// The icon a message box shows, or null.
inline HICON messageBoxIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char className[64];
        GetClassNameA(child, className, sizeof className);
        const LONG_PTR style = GetWindowLongPtrA(child, GWL_STYLE);
        // The box may not be shown yet: its own style tells what it shows.
        if (lstrcmpiA(className, "Static") == 0 && (style & SS_TYPEMASK) == SS_ICON && (style & WS_VISIBLE)) {
            return reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        }
    }
    return nullptr;
}
inline bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

struct SeenWindow {
    HWND window;
    std::string caption;
    std::string messageText;  // a message box's text (control 0xFFFF)
};

// Plays the user on the windows this thread opens: each top-level window
// activated for the first time goes to the next handler; a window no
// handler is left for fails the test and is cancelled. Handlers act by
// posting (click, step), so the window's own modal loop carries the actions
// out in order.
class UiDriver {
public:
    using Handler = std::function<void(const SeenWindow&)>;
    UiDriver() {
        active() = this;
        hook_ = SetWindowsHookExA(WH_CBT, hookProcedure, nullptr, GetCurrentThreadId());
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = driverProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "KestroTestDriver";
        RegisterClassA(&windowClass);  // fails harmlessly when already registered
        driver_ = CreateWindowExA(0, "KestroTestDriver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, windowClass.hInstance, nullptr);
    }
    ~UiDriver() {
        UnhookWindowsHookEx(hook_);
        DestroyWindow(driver_);
        // Steps that never ran leave no message behind for the next test.
        MSG message;
        while (PeekMessageA(&message, nullptr, kRunStep, kRunStep, PM_REMOVE)) {
        }
        active() = nullptr;
    }
    void expect(Handler handler) { handlers_.push_back(std::move(handler)); }
    // Runs from the modal loop of whatever window is open, after every
    // message posted so far.
    void step(std::function<void()> action) {
        steps_.push_back(std::move(action));
        PostMessageA(driver_, kRunStep, 0, 0);
    }
    bool allHandled() const { return handlers_.empty(); }
    // Clicks a control of a window (BM_CLICK, posted).
    static void click(HWND window, int controlId) {
        HWND control = GetDlgItem(window, controlId);
        if (control == nullptr) ADD_FAILURE() << "no control " << controlId;
        PostMessageA(control, BM_CLICK, 0, 0);
    }

private:
    static constexpr UINT kRunStep = WM_APP + 1;
    static UiDriver*& active() {
        static UiDriver* driver = nullptr;
        return driver;
    }
    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam) {
        if (code == HCBT_ACTIVATE && active() != nullptr) active()->activated(reinterpret_cast<HWND>(wParam));
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }
    static LRESULT CALLBACK driverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kRunStep || active() == nullptr || active()->steps_.empty()) {
            return DefWindowProcA(window, message, wParam, lParam);
        }
        std::function<void()> action = std::move(active()->steps_.front());
        active()->steps_.pop_front();
        action();
        return 0;
    }
    void activated(HWND window) {
        // Only top-level windows that a user would answer: dialogs and boxes.
        if (!window || known_.count(window) || (GetParent(window) && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD))) return;
        known_.insert(window);
        const SeenWindow seen{window, windowText(window), windowText(window, 0xFFFF)};
        if (handlers_.empty()) {
            ADD_FAILURE() << "unexpected window \"" << seen.caption << "\": " << seen.messageText;
            PostMessageA(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
            return;
        }
        Handler handler = std::move(handlers_.front());
        handlers_.pop_front();
        handler(seen);
    }

    HHOOK hook_ = nullptr;
    HWND driver_ = nullptr;
    std::deque<Handler> handlers_;
    std::deque<std::function<void()>> steps_;
    std::set<HWND> known_;
};

}  // namespace kestro::wintest

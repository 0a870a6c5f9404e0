// Helpers of the tests that run on Windows (or Wine): scratch directories,
// files, the fake tool, a driver that plays the user on real windows, and
// the fixture of the tests that open the bar's own windows.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Win32Api.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32UserInterface.h"
#include "app/Services.h"

namespace kestro::wintest {

// A fresh directory under the temporary directory, removed with its
// content at the end. The path has no final backslash.
class ScratchDirectory {
public:
    explicit ScratchDirectory(const std::string& name = "kestro");
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "\\" + name; }
    std::string makeDirectory(const std::string& name) const;

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);

// Copies the fake tool built beside the test executable to `path`. Each
// run of it appends what it got to the report file KESTRO_FAKE_REPORT names.
void installFakeTool(const std::string& path);
struct ToolRun {
    std::string module, commandLine, directory;
    bool console = false;
    std::vector<std::string> arguments;
};
std::vector<ToolRun> readToolRuns(const std::string& reportPath);

// Sets an environment variable of this process (and of the tools it
// starts) for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::string& value);
    ~ScopedVariable();

private:
    std::string name_, old_;
    bool hadOld_;
};

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
    UiDriver();
    ~UiDriver();
    void expect(Handler handler) { handlers_.push_back(std::move(handler)); }
    // Runs from the modal loop of whatever window is open, after every
    // message posted so far.
    void step(std::function<void()> action);
    bool allHandled() const { return handlers_.empty(); }
    // Clicks a control of a window (BM_CLICK, posted).
    static void click(HWND window, int controlId);

private:
    static LRESULT CALLBACK hookProcedure(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK driverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void activated(HWND window);

    HHOOK hook_ = nullptr;
    HWND driver_ = nullptr;
    std::deque<Handler> handlers_;
    std::deque<std::function<void()>> steps_;
    std::set<HWND> known_;
};

// The text of a control, or of the window itself with id 0.
std::string windowText(HWND window, int controlId = 0);
// The icon a message box shows, or null.
HICON messageBoxIcon(HWND box);
inline bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

// The Windows settings stack and platform over a scratch directory, and a
// driver that plays the user.
class WindowsPlatformTest : public ::testing::Test {
protected:
    ScratchDirectory scratch_;
    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    Win32Processes processes_;
    Win32UserInterface ui_{GetModuleHandleA(nullptr)};
    Services services_{PlatformRules::windows(), settings_, files_, processes_, ui_, "Kestro"};
    UiDriver driver_;
};

}  // namespace kestro::wintest

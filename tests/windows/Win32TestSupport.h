// Helpers of the tests that run on Windows (or Wine): scratch directories,
// files, the fake tool, and a driver that plays the user on real windows.
#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "Win32Api.h"

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
    // path() + "\" + name
    std::string file(const std::string& name) const;
    // Makes a subdirectory and returns its path.
    std::string makeDirectory(const std::string& name) const;

private:
    std::string path_;
};

void writeFile(const std::string& path, const std::string& content);
// The content, or nothing when the file is absent.
std::string readFile(const std::string& path);

// Copies the fake tool built beside the test executable to `path`.
void installFakeTool(const std::string& path);

// One run of the fake tool, as it reported it.
struct ToolRun {
    std::string module;
    std::string commandLine;
    std::string directory;
    bool console = false;
    std::vector<std::string> arguments;
};
std::vector<ToolRun> readToolRuns(const std::string& reportPath);

// Sets an environment variable of this process (and so of the tools it
// starts) for the life of the object.
class ScopedVariable {
public:
    ScopedVariable(const std::string& name, const std::string& value);
    ~ScopedVariable();
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    std::string name_;
    std::string old_;
    bool hadOld_;
};

// What a window showed when it came up.
struct SeenWindow {
    HWND window;
    std::string className;
    std::string caption;
    std::string messageText;  // a message box's text (control 0xFFFF)
};

// Plays the user on the windows this thread opens. Each top-level window
// that is activated for the first time (dialog, message box, file dialog)
// goes to the next handler of the queue; a window for which no handler is
// left is recorded and closed with Cancel, and counts as unexpected.
// Handlers act by posting (click, post, step), so that the window's own
// modal loop carries the actions out in order.
class UiDriver {
public:
    using Handler = std::function<void(const SeenWindow&)>;

    UiDriver();
    ~UiDriver();
    UiDriver(const UiDriver&) = delete;
    UiDriver& operator=(const UiDriver&) = delete;

    void expect(Handler handler) { handlers_.push_back(std::move(handler)); }

    // Queued behind every message posted so far: the step runs from the
    // modal loop of whatever window is open then.
    void step(std::function<void()> action);

    const std::vector<SeenWindow>& seen() const { return seen_; }
    int unexpected() const { return unexpected_; }
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
    std::vector<SeenWindow> seen_;
    int unexpected_ = 0;
};

// The text of a control, or of the window itself with id 0.
std::string windowText(HWND window, int controlId = 0);
// True when the message box (or dialog) has a button with this ID.
bool hasButton(HWND window, int controlId);
// The icon a message box shows, or null.
HICON messageBoxIcon(HWND box);

}  // namespace kestro::wintest

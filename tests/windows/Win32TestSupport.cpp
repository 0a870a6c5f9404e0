#include "Win32TestSupport.h"

#include <gtest/gtest.h>
#include <shellapi.h>

#include <atomic>
#include <fstream>
#include <iterator>
#include <sstream>

namespace kestro::wintest {

namespace {

constexpr UINT kRunStep = WM_APP + 1;
UiDriver* activeDriver = nullptr;

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The fake tool built beside the test executable.
std::string fakeToolPath() {
    char module[MAX_PATH];
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    return directoryOf(module) + "\\kestro_fake_tool.exe";
}

}  // namespace

ScratchDirectory::ScratchDirectory(const std::string& name) {
    static std::atomic<unsigned> counter{0};
    char temp[MAX_PATH];
    const DWORD length = GetTempPathA(MAX_PATH, temp);
    std::string base(temp, length);
    if (!base.empty() && base.back() == '\\') base.pop_back();
    for (;;) {
        path_ = base + "\\" + name + "-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(counter.fetch_add(1));
        if (CreateDirectoryA(path_.c_str(), nullptr)) break;
        if (GetLastError() != ERROR_ALREADY_EXISTS) {
            ADD_FAILURE() << "cannot make " << path_;
            break;
        }
    }
}

ScratchDirectory::~ScratchDirectory() {
    std::string from = path_ + '\0';  // a list of paths, ended by an empty one
    SHFILEOPSTRUCTA operation{};
    operation.wFunc = FO_DELETE;
    operation.pFrom = from.c_str();
    operation.fFlags = FOF_NOCONFIRMATION | FOF_NOERRORUI | FOF_SILENT;
    SHFileOperationA(&operation);
}

std::string ScratchDirectory::makeDirectory(const std::string& name) const {
    const std::string path = file(name);
    CreateDirectoryA(path.c_str(), nullptr);
    return path;
}

void writeFile(const std::string& path, const std::string& content) {
    std::ofstream file(path, std::ios::binary);
    ASSERT_TRUE(file.write(content.data(), static_cast<std::streamsize>(content.size()))) << path;
}

void installFakeTool(const std::string& path) {
    ASSERT_TRUE(CopyFileA(fakeToolPath().c_str(), path.c_str(), FALSE)) << "cannot copy the fake tool to " << path;
}

std::vector<ToolRun> readToolRuns(const std::string& reportPath) {
    std::vector<ToolRun> runs(1);
    std::ifstream report(reportPath, std::ios::binary);
    std::stringstream in;
    in << report.rdbuf();
    for (std::string line; std::getline(in, line);) {
        const std::size_t equals = line.find('=');
        const std::string key = line.substr(0, equals);
        const std::string value = equals == std::string::npos ? "" : line.substr(equals + 1);
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

ScopedVariable::ScopedVariable(const std::string& name, const std::string& value) : name_(name) {
    char buffer[32768];
    const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer, sizeof buffer);
    hadOld_ = length > 0 && length < sizeof buffer;
    if (hadOld_) old_ = buffer;
    SetEnvironmentVariableA(name.c_str(), value.c_str());
}

ScopedVariable::~ScopedVariable() {
    SetEnvironmentVariableA(name_.c_str(), hadOld_ ? old_.c_str() : nullptr);
}

std::string windowText(HWND window, int controlId) {
    HWND target = controlId == 0 ? window : GetDlgItem(window, controlId);
    if (target == nullptr) return std::string();
    char buffer[4096];
    const int length = GetWindowTextA(target, buffer, sizeof buffer);
    return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

HICON messageBoxIcon(HWND box) {
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

UiDriver::UiDriver() {
    activeDriver = this;
    hook_ = SetWindowsHookExA(WH_CBT, hookProcedure, nullptr, GetCurrentThreadId());
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = driverProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KestroTestDriver";
    RegisterClassA(&windowClass);  // fails harmlessly when already registered
    driver_ = CreateWindowExA(0, "KestroTestDriver", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
}

UiDriver::~UiDriver() {
    if (hook_) UnhookWindowsHookEx(hook_);
    if (driver_) DestroyWindow(driver_);
    // Steps that never ran leave no message behind for the next test.
    MSG message;
    while (PeekMessageA(&message, nullptr, kRunStep, kRunStep, PM_REMOVE)) {
    }
    activeDriver = nullptr;
}

void UiDriver::step(std::function<void()> action) {
    steps_.push_back(std::move(action));
    PostMessageA(driver_, kRunStep, 0, 0);
}

void UiDriver::click(HWND window, int controlId) {
    HWND control = GetDlgItem(window, controlId);
    if (control == nullptr) {
        ADD_FAILURE() << "no control " << controlId;
        return;
    }
    PostMessageA(control, BM_CLICK, 0, 0);
}

LRESULT CALLBACK UiDriver::hookProcedure(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE && activeDriver != nullptr) {
        activeDriver->activated(reinterpret_cast<HWND>(wParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK UiDriver::driverProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunStep && activeDriver != nullptr && !activeDriver->steps_.empty()) {
        std::function<void()> action = std::move(activeDriver->steps_.front());
        activeDriver->steps_.pop_front();
        action();
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void UiDriver::activated(HWND window) {
    if (window == nullptr || known_.count(window)) return;
    // Only top-level windows that a user would answer: dialogs and boxes.
    if (GetParent(window) != nullptr && (GetWindowLongPtrA(window, GWL_STYLE) & WS_CHILD)) return;
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

}  // namespace kestro::wintest

#include "Win32Processes.h"

#include <vector>

#include "Win32Api.h"

namespace kestro {

namespace {

// CreateProcessA may write into the command line, so it gets a copy.
bool create(const ProcessRequest& request, PROCESS_INFORMATION& process) {
    if (request.executable.empty()) return false;
    std::vector<char> commandLine(request.commandLine.begin(), request.commandLine.end());
    commandLine.push_back('\0');
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    process = PROCESS_INFORMATION{};
    return CreateProcessA(request.executable.c_str(), commandLine.data(), nullptr, nullptr,
                          TRUE, 0, nullptr, nullptr, &startup, &process) != 0;
}

void closeHandles(PROCESS_INFORMATION& process) {
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
}

}  // namespace

bool Win32Processes::isStartable(const std::string& path) {
    if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32Processes::environment(const std::string& name) {
    // Read as UTF-16 and converted to the ANSI code page, which is what
    // GetEnvironmentVariableA gives on Windows; Wine's narrow version cuts
    // double-byte values short.
    const int nameLength = MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, nullptr, 0);
    if (nameLength <= 0) return std::nullopt;
    std::vector<wchar_t> wideName(static_cast<std::size_t>(nameLength));
    MultiByteToWideChar(CP_ACP, 0, name.c_str(), -1, wideName.data(), nameLength);

    std::vector<wchar_t> value(1024);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableW(wideName.data(), value.data(), static_cast<DWORD>(value.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < value.size()) {
            const int bytes = WideCharToMultiByte(CP_ACP, 0, value.data(), static_cast<int>(length), nullptr, 0,
                                                  nullptr, nullptr);
            std::string text(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
            if (bytes > 0) {
                WideCharToMultiByte(CP_ACP, 0, value.data(), static_cast<int>(length), text.data(), bytes, nullptr,
                                    nullptr);
            }
            return text;
        }
        value.resize(length);  // the size needed, terminating zero included
    }
}

ProcessEnd Win32Processes::startAndWait(const ProcessRequest& request) {
    PROCESS_INFORMATION process;
    if (!create(request, process)) return ProcessEnd{};
    if (!process.hProcess) {
        // Nothing to wait for (Wine gives no handle for a Linux program).
        closeHandles(process);
        return ProcessEnd{};
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const BOOL read = GetExitCodeProcess(process.hProcess, &exitCode);
    closeHandles(process);
    if (!read) return ProcessEnd{};
    // Windows has no signals: every end is an exit code.
    return ProcessEnd{static_cast<int>(exitCode), 0};
}

int Win32Processes::startNoWait(const ProcessRequest& request) {
    PROCESS_INFORMATION process;
    if (!create(request, process)) return -1;
    closeHandles(process);
    return 0;
}

}  // namespace kestro

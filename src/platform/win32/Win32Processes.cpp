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
    std::vector<char> buffer(1024);
    for (;;) {
        SetLastError(ERROR_SUCCESS);
        const DWORD length = GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) {
            if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
            return std::string();
        }
        if (length < buffer.size()) return std::string(buffer.data(), length);
        buffer.resize(length);  // the size needed, terminating zero included
    }
}

int Win32Processes::startAndWait(const ProcessRequest& request) {
    PROCESS_INFORMATION process;
    if (!create(request, process)) return -1;
    if (!process.hProcess) {
        // Nothing to wait for (Wine gives no handle for a Linux program).
        closeHandles(process);
        return -1;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD exitCode = 0;
    const BOOL read = GetExitCodeProcess(process.hProcess, &exitCode);
    closeHandles(process);
    if (!read) return -1;
    return static_cast<int>(exitCode);
}

int Win32Processes::startNoWait(const ProcessRequest& request) {
    PROCESS_INFORMATION process;
    if (!create(request, process)) return -1;
    closeHandles(process);
    return 0;
}

}  // namespace kestro

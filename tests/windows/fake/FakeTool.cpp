// A stand-in for a TeX tool, started by the launching tests: it appends
// what it received to the report file named by KESTRO_FAKE_REPORT, one
// "key=value" line each, then an "end" line, and exits with the code in
// KESTRO_FAKE_EXIT (0 when unset).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string variable(const char* name) {
    char buffer[4096];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    // Up to the zero byte: Wine's length counts characters, not bytes.
    return length > 0 && length < sizeof buffer ? std::string(buffer) : std::string();
}

bool hasConsole() {
    DWORD mode = 0;
    return GetConsoleCP() != 0 || GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string report = variable("KESTRO_FAKE_REPORT");
    if (!report.empty()) {
        std::string text;
        char module[MAX_PATH];
        module[0] = '\0';
        GetModuleFileNameA(nullptr, module, MAX_PATH);
        text += "module=" + std::string(module) + "\n";
        text += "command=" + std::string(GetCommandLineA()) + "\n";
        char directory[MAX_PATH];
        directory[0] = '\0';
        GetCurrentDirectoryA(MAX_PATH, directory);
        text += "directory=" + std::string(directory) + "\n";
        text += std::string("console=") + (hasConsole() ? "1" : "0") + "\n";
        for (int i = 0; i < argc; ++i) text += "arg=" + std::string(argv[i]) + "\n";
        text += "end\n";
        if (std::FILE* file = std::fopen(report.c_str(), "ab")) {
            std::fwrite(text.data(), 1, text.size(), file);
            std::fclose(file);
        }
    }
    const std::string exitCode = variable("KESTRO_FAKE_EXIT");
    return exitCode.empty() ? 0 : static_cast<int>(std::strtoul(exitCode.c_str(), nullptr, 10));
}

// A stand-in for a TeX tool, started by the launching tests: it appends
// what it received to the report file KESTRO_FAKE_REPORT names, one
// "key=value" line each, then "end", and exits with KESTRO_FAKE_EXIT (or 0).
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string variable(const char* name) {
    char buffer[4096];
    const DWORD length = GetEnvironmentVariableA(name, buffer, sizeof buffer);
    // Up to the zero byte: Wine's length counts characters, not bytes.
    return length > 0 && length < sizeof buffer ? std::string(buffer) : std::string();
}

int main(int argc, char** argv) {
    char module[MAX_PATH] = "", directory[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    GetCurrentDirectoryA(MAX_PATH, directory);
    DWORD mode = 0;
    const bool console = GetConsoleCP() != 0 || GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
    std::string text = "module=" + std::string(module) + "\ncommand=" + GetCommandLineA() + "\ndirectory=" + directory +
                       "\nconsole=" + (console ? "1" : "0") + "\n";
    for (int i = 0; i < argc; ++i) text += "arg=" + std::string(argv[i]) + "\n";
    text += "end\n";
    if (std::FILE* file = std::fopen(variable("KESTRO_FAKE_REPORT").c_str(), "ab")) {
        std::fwrite(text.data(), 1, text.size(), file);
        std::fclose(file);
    }
    return static_cast<int>(std::strtoul(variable("KESTRO_FAKE_EXIT").c_str(), nullptr, 10));
}

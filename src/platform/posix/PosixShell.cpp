#include "PosixShell.h"

#include "PosixProcesses.h"
#include "build/CommandLine.h"
#include "build/ProgramLookup.h"
#include "text/PlatformRules.h"

namespace kestro {

namespace {

std::optional<std::string> findProgram(const std::string& program, PosixProcesses& processes) {
    if (program.empty()) return std::nullopt;
    LookupEnvironment environment;
    environment.isStartable = [&processes](const std::string& path) { return processes.isStartable(path); };
    environment.pathVariable = processes.environment("PATH").value_or(std::string());
    return lookupProgram(PlatformRules::posix(), program, environment);
}

// A bare file name that begins with "-" would reach the opener as an option.
std::string asOperand(const std::string& file) {
    if (!file.empty() && file.front() == '-') return "./" + file;
    return file;
}

}  // namespace

int posixShellOpen(const ShellOpenRequest& request, PosixProcesses& processes) {
    ProcessRequest start;
    std::string program;
    if (request.parameters) {
        program = request.file;
        start.arguments = splitCommandLine(CodePage::Utf8, *request.parameters);
    } else {
        program = processes.environment("KESTRO_OPENER").value_or("xdg-open");
        if (program.empty()) program = "xdg-open";
        start.arguments.push_back(asOperand(request.file));
    }
    start.arguments.insert(start.arguments.begin(), program);

    const std::optional<std::string> executable = findProgram(program, processes);
    if (!executable) return kShellOpenFailed;
    start.executable = *executable;
    start.commandLine = joinCommandLine(CodePage::Utf8, program, {});
    for (std::size_t i = 1; i < start.arguments.size(); ++i) {
        start.commandLine += ' ' + quoteWord(CodePage::Utf8, start.arguments[i]);
    }

    return processes.startDetached(start, request.directory) >= 0 ? kShellOpenStarted : kShellOpenFailed;
}

}  // namespace kestro

#include "PosixDesktop.h"

#include "PosixProcesses.h"
#include "pipeline/ProgramLookup.h"
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

bool PosixDesktop::openWith(const std::string& program, const std::vector<std::string>& parameters,
                            const std::string& directory) {
    return start(program, parameters, directory);
}

bool PosixDesktop::openInViewer(const std::string& file, const std::string& directory) {
    std::string opener = processes_.environment("KESTRO_OPENER").value_or("xdg-open");
    if (opener.empty()) opener = "xdg-open";
    return start(opener, {asOperand(file)}, directory);
}

bool PosixDesktop::start(const std::string& program, std::vector<std::string> arguments,
                         const std::string& directory) {
    ProcessRequest start;
    start.arguments = std::move(arguments);
    start.arguments.insert(start.arguments.begin(), program);

    const std::optional<std::string> executable = findProgram(program, processes_);
    if (!executable) return false;
    start.executable = *executable;
    // The argument vector is what starts; no command line is read here.
    return processes_.startDetached(start, directory) >= 0;
}

}  // namespace kestro

#include "pipeline/Launcher.h"

#include <optional>

#include "pipeline/ProgramLookup.h"

namespace kestro {

namespace {

// The file to start for `program`, found by the platform's lookup rules over
// the processes' own view of startable files and PATH.
std::optional<ProcessRequest> prepareStart(Services& services, const std::string& program,
                                           const std::vector<CommandPart>& parts) {
    LookupEnvironment env;
    env.isStartable = [&services](const std::string& candidate) {
        return services.processes.isStartable(candidate);
    };
    env.pathVariable = services.processes.environment("PATH").value_or("");
    std::optional<std::string> executable = lookupProgram(services.rules, program, env);
    if (!executable) return std::nullopt;
    return processRequest(services.rules.codePage, *executable, program, parts);
}

}  // namespace

ProcessRequest processRequest(CodePage cp, const std::string& executable, const std::string& program,
                              const std::vector<CommandPart>& parts) {
    ProcessRequest request;
    request.executable = executable;
    request.commandLine = joinCommandLine(cp, program, parts);
    request.arguments = splitCommandLine(cp, request.commandLine);
    return request;
}

int startRecorded(Services& services, const std::string& program, const ProcessRequest& request) {
    // The platform hands the exit code back as a signed 32-bit value, so a
    // Windows tool ending with 4294967295 reads as -1, like a failed start.
    const ProcessEnd end = services.processes.startAndWait(request);
    if (end.exitCode != -1) services.road.addRun(ToolRun{program, end.exitCode, end.signal});
    return end.exitCode;
}

int runAndWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts) {
    std::optional<ProcessRequest> request = prepareStart(services, program, parts);
    if (!request) return -1;
    return startRecorded(services, program, *request);
}

int runNoWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts) {
    std::optional<ProcessRequest> request = prepareStart(services, program, parts);
    if (!request) return -1;
    const int started = services.processes.startNoWait(*request);
    return started < 0 ? -1 : started;
}

}  // namespace kestro

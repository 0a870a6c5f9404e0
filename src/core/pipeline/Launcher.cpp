#include "pipeline/Launcher.h"

#include <optional>

#include "pipeline/ProgramLookup.h"
#include "text/TextFormat.h"

namespace kestro {

namespace {

constexpr const char* kBatchRefusal =
    "バッチファイル \"%s\" は実行しませんでした。\n"
    "コマンドラインに「%c」があり、\ncmd.exe はこれを文字どおりに受け取りません。";

// The request that starts a batch file with every word quoted, or nothing
// when a word holds a character that quotes do not protect; then the user
// is told which, and the road stops there.
std::optional<ProcessRequest> batchRequest(Services& services, const std::string& executable,
                                           const std::vector<CommandPart>& parts) {
    const CodePage cp = services.rules.codePage;
    const std::vector<std::string> words = batchWords(cp, executable, parts);
    for (const std::string& word : words) {
        const std::size_t unsafe = findUnsafeForBatch(cp, word);
        if (unsafe == std::string::npos) continue;
        const char c = word[unsafe];
        const bool lineBreak = c == '\n' || c == '\r';
        // The character first: the file's name may hold "%c" itself.
        const std::string text = fillPlaceholder(kBatchRefusal, "%c", lineBreak ? "改行" : std::string(1, c));
        showBarMessage(services, fillPlaceholder(text, "%s", executable), BoxIcon::Exclamation);
        services.road.noteStop(executable + " was not started: its command line holds " +
                               (lineBreak ? std::string("a line break") : "\"" + std::string(1, c) + "\""));
        return std::nullopt;
    }
    return ProcessRequest{executable, joinBatchCommandLine(cp, words), words};
}

// Finds the file to start for `program` by the platform's lookup rules over
// the processes' own view of startable files and PATH, and fills `request`:
// 0, or -1 when there is no such file, or kStartRefused.
int prepareStart(Services& services, const std::string& program, const std::vector<CommandPart>& parts,
                 ProcessRequest& request) {
    LookupEnvironment env;
    env.isStartable = [&services](const std::string& candidate) {
        return services.processes.isStartable(candidate);
    };
    env.pathVariable = services.processes.environment("PATH").value_or("");
    std::optional<std::string> executable = lookupProgram(services.rules, program, env);
    if (!executable) return -1;
    if (services.rules.isWindows() && isBatchFile(services.rules.codePage, *executable)) {
        std::optional<ProcessRequest> batch = batchRequest(services, *executable, parts);
        if (!batch) return kStartRefused;
        request = std::move(*batch);
        return 0;
    }
    request = processRequest(services.rules.codePage, *executable, program, parts);
    return 0;
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
    ProcessRequest request;
    if (const int notStarted = prepareStart(services, program, parts, request)) return notStarted;
    return startRecorded(services, program, request);
}

int runNoWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts) {
    ProcessRequest request;
    if (const int notStarted = prepareStart(services, program, parts, request)) return notStarted;
    const int started = services.processes.startNoWait(request);
    return started < 0 ? -1 : started;
}

}  // namespace kestro

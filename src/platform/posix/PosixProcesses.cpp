#include "PosixProcesses.h"

#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <mutex>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <system_error>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace kestro {

namespace {

// The tool startAndWait waits for. Its pid is cleared before the process is
// reaped, so a pid read under the lock always names that tool, never a
// later process that reuses the number.
struct RunningTool {
    std::mutex mutex;
    std::condition_variable ended;
    pid_t pid = 0;
    unsigned long long generation = 0;
    // The program is ending: no tool may start any more.
    bool closed = false;
};

RunningTool& runningTool() {
    static RunningTool tool;
    return tool;
}

std::vector<char*> argumentVector(const ProcessRequest& request) {
    std::vector<char*> argv;
    if (request.arguments.empty()) {
        argv.push_back(const_cast<char*>(request.executable.c_str()));
    } else {
        for (const std::string& argument : request.arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);
    return argv;
}

class SpawnAttributes {
public:
    explicit SpawnAttributes(short extraFlags) {
        ::posix_spawnattr_init(&attributes_);
        sigset_t none;
        sigemptyset(&none);
        ::posix_spawnattr_setsigmask(&attributes_, &none);
        // A bar that ignores SIGPIPE must not pass that on to the tools.
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        ::posix_spawnattr_setsigdefault(&attributes_, &defaults);
        ::posix_spawnattr_setflags(&attributes_,
                                   static_cast<short>(POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | extraFlags));
    }
    ~SpawnAttributes() { ::posix_spawnattr_destroy(&attributes_); }
    SpawnAttributes(const SpawnAttributes&) = delete;
    SpawnAttributes& operator=(const SpawnAttributes&) = delete;
    const posix_spawnattr_t* get() const { return &attributes_; }

private:
    posix_spawnattr_t attributes_;
};

class FileActions {
public:
    FileActions() { ::posix_spawn_file_actions_init(&actions_); }
    ~FileActions() { ::posix_spawn_file_actions_destroy(&actions_); }
    FileActions(const FileActions&) = delete;
    FileActions& operator=(const FileActions&) = delete;

    bool emptyStdin() { return ::posix_spawn_file_actions_addopen(&actions_, 0, "/dev/null", O_RDONLY, 0) == 0; }
    bool changeDirectory(const std::string& directory) {
        return ::posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()) == 0;
    }
    const posix_spawn_file_actions_t* get() const { return &actions_; }

private:
    posix_spawn_file_actions_t actions_;
};

// glibc's posix_spawn reports a failed exec (a missing interpreter, a file
// that is no program) as its result, so a pid means the program runs.
std::optional<pid_t> spawn(const ProcessRequest& request, const FileActions& actions,
                           const SpawnAttributes& attributes) {
    std::vector<char*> argv = argumentVector(request);
    pid_t pid = 0;
    if (::posix_spawn(&pid, request.executable.c_str(), actions.get(), attributes.get(), argv.data(), environ) != 0) {
        return std::nullopt;
    }
    return pid;
}

void stopTool(int firstSignal, bool forGood) {
    RunningTool& tool = runningTool();
    std::unique_lock lock(tool.mutex);
    if (forGood) tool.closed = true;
    if (tool.pid == 0) return;
    const pid_t pid = tool.pid;
    const unsigned long long generation = tool.generation;
    ::kill(pid, firstSignal);
    if (tool.ended.wait_for(lock, kGraceBeforeKill, [&] { return tool.generation != generation; })) return;
    ::kill(pid, SIGKILL);
}

}  // namespace

PosixProcesses::PosixProcesses(StdinMode stdinMode) : stdinMode_(stdinMode) {}

bool PosixProcesses::isStartable(const std::string& path) {
    struct stat status {};
    return ::stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

std::optional<std::string> PosixProcesses::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

ProcessEnd PosixProcesses::startAndWait(const ProcessRequest& request) {
    FileActions actions;
    if (stdinMode_ == StdinMode::Empty && !actions.emptyStdin()) return ProcessEnd{};
    const SpawnAttributes attributes(0);

    RunningTool& tool = runningTool();
    std::optional<pid_t> pid;
    {
        std::lock_guard lock(tool.mutex);
        if (tool.closed) return ProcessEnd{};
        pid = spawn(request, actions, attributes);
        if (!pid) return ProcessEnd{};
        tool.pid = *pid;
    }

    // Wait for the end without reaping, so the pid stays ours until the
    // stopper can no longer see it.
    siginfo_t info{};
    int waited;
    do {
        waited = ::waitid(P_PID, static_cast<id_t>(*pid), &info, WEXITED | WNOWAIT);
    } while (waited != 0 && errno == EINTR);
    {
        std::lock_guard lock(tool.mutex);
        tool.pid = 0;
        ++tool.generation;
    }
    tool.ended.notify_all();

    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(*pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    if (reaped != *pid) return ProcessEnd{};
    return processEndOf(status);
}

int PosixProcesses::startNoWait(const ProcessRequest& request) { return startDetached(request, std::string()); }

int PosixProcesses::startDetached(const ProcessRequest& request, const std::string& directory) {
    FileActions actions;
    if (!actions.emptyStdin()) return -1;
    if (!directory.empty() && !actions.changeDirectory(directory)) return -1;
    const SpawnAttributes attributes(POSIX_SPAWN_SETSID);
    const std::optional<pid_t> pid = spawn(request, actions, attributes);
    if (!pid) return -1;

    const pid_t child = *pid;
    try {
        std::thread([child] {
            int status = 0;
            while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
            }
        }).detach();
    } catch (const std::system_error&) {
        // No thread to reap it: it stays a zombie until the bar ends, but it
        // has started, which is all the caller asked.
    }
    return static_cast<int>(child);
}

ProcessEnd processEndOf(int status) {
    if (WIFEXITED(status)) return ProcessEnd{WEXITSTATUS(status), 0};
    if (WIFSIGNALED(status)) return ProcessEnd{128 + WTERMSIG(status), WTERMSIG(status)};
    return ProcessEnd{};
}

void stopRunningTool(int firstSignal) { stopTool(firstSignal, false); }

void stopToolsForExit(int firstSignal) { stopTool(firstSignal, true); }

}  // namespace kestro

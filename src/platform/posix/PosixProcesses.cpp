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

#include "JobTerminal.h"
#include "ProcessGroup.h"

extern char** environ;

namespace kestro {

namespace {

// The tool startAndWait waits for: a process group of its own, which it
// leads, with whatever helpers it started. The group is cleared before the
// tool is reaped, and the tool is not reaped while a stopper is at work, so
// a group read under the lock always names that tool's, never a later
// process group that reuses the number.
struct RunningTool {
    std::mutex mutex;
    std::condition_variable changed;
    pid_t group = 0;
    // The tool itself has ended (its helpers may not have).
    bool ended = false;
    // A stopper is ending the group.
    bool stopping = false;
    // The terminal the group has been lent; null when it has none.
    const JobTerminal* terminal = nullptr;
    // The program is ending: no tool may start any more.
    bool closed = false;
};

RunningTool& runningTool() {
    static RunningTool tool;
    return tool;
}

// Under the tool's lock.
void giveTerminalBack(RunningTool& tool) {
    if (tool.terminal != nullptr) tool.terminal->takeBack();
    tool.terminal = nullptr;
}

// How often a stopper looks whether the group has ended.
constexpr std::chrono::milliseconds kGroupPoll{50};

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
    // The child's group becomes the foreground group of the terminal before
    // it runs anything, so it never meets the terminal in the background.
    bool takeTerminal(int terminal) { return ::posix_spawn_file_actions_addtcsetpgrp_np(&actions_, terminal) == 0; }
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
    if (tool.group != 0 && !tool.stopping) {
        const pid_t group = tool.group;
        tool.stopping = true;
        signalGroup(group, firstSignal);
        // The helpers a wrapper script started get the grace too.
        const auto deadline = std::chrono::steady_clock::now() + kGraceBeforeKill;
        while (std::chrono::steady_clock::now() < deadline && !(tool.ended && !groupHasLiveMembers(group))) {
            tool.changed.wait_for(lock, kGroupPoll);
        }
        signalGroup(group, SIGKILL);
        tool.stopping = false;
        tool.changed.notify_all();
    }
    if (forGood) giveTerminalBack(tool);
}

}  // namespace

PosixProcesses::PosixProcesses(StdinMode stdinMode, const JobTerminal* terminal)
    : stdinMode_(stdinMode), terminal_(terminal) {}

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
    const bool lendTerminal = terminal_ != nullptr && terminal_->callerInForeground();
    if (lendTerminal && !actions.takeTerminal(terminal_->descriptor())) return ProcessEnd{};
    const SpawnAttributes attributes(POSIX_SPAWN_SETPGROUP);

    RunningTool& tool = runningTool();
    std::optional<pid_t> pid;
    {
        std::lock_guard lock(tool.mutex);
        if (tool.closed) return ProcessEnd{};
        pid = spawn(request, actions, attributes);
        if (!pid) return ProcessEnd{};
        tool.group = *pid;
        tool.ended = false;
        tool.terminal = lendTerminal ? terminal_ : nullptr;
    }

    waitForEnd(*pid);
    {
        std::unique_lock lock(tool.mutex);
        tool.ended = true;
        tool.changed.notify_all();
        tool.changed.wait(lock, [&] { return !tool.stopping; });
        giveTerminalBack(tool);
        tool.group = 0;
    }

    int status = 0;
    pid_t reaped;
    do {
        reaped = ::waitpid(*pid, &status, 0);
    } while (reaped < 0 && errno == EINTR);
    if (reaped != *pid) return ProcessEnd{};
    return processEndOf(status);
}

// Waits for the end without reaping, so the number stays the tool's until
// the stopper can no longer see it.
void PosixProcesses::waitForEnd(pid_t pid) {
    for (;;) {
        siginfo_t info{};
        if (::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WSTOPPED | WNOWAIT) != 0) {
            if (errno == EINTR) continue;
            return;
        }
        if (info.si_code != CLD_STOPPED) return;
        siginfo_t seen{};
        ::waitid(P_PID, static_cast<id_t>(pid), &seen, WSTOPPED | WNOHANG);
        if (terminal_ != nullptr) relayStop(pid, info.si_status);
    }
}

// The tool stopped (Ctrl-Z, or a read of the terminal in the background):
// the program stops too, so the user's shell sees its job stopped and gets
// the terminal; once continued, in the foreground, the tool has it again.
// A program that no shell could continue does not stop: in the foreground
// the tool goes on, in the background it could never have the terminal, and
// it ends as the system ends such a group, by SIGHUP.
void PosixProcesses::relayStop(pid_t group, int signal) {
    RunningTool& tool = runningTool();
    {
        std::lock_guard lock(tool.mutex);
        giveTerminalBack(tool);
    }
    if (signal == SIGSTOP || groupCanBeStopped(::getpgrp())) {
        ::raise(signal);
    } else if (!terminal_->callerInForeground()) {
        signalGroup(group, SIGHUP);
        return;
    }
    {
        std::lock_guard lock(tool.mutex);
        if (!tool.closed && terminal_->callerInForeground()) {
            terminal_->giveTo(group);
            tool.terminal = terminal_;
        }
    }
    ::killpg(group, SIGCONT);
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

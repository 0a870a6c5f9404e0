// Starting tools on Linux: posix_spawn of the file the core looked up, with
// the argument vector the core split; never through a shell, so no document
// name can inject a command.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <csignal>
#include <string>

#include "seam/Processes.h"

namespace kestro {

// What the tools read as standard input.
enum class StdinMode {
    Inherit,  // the bar's own (the terminal of kestro-build): tools can prompt
    Empty,    // /dev/null: no terminal, so TeX stops at its first error
};

class JobTerminal;

class PosixProcesses : public Processes {
public:
    // With a terminal, tools run as jobs on it (see startAndWait); it must
    // outlive this object.
    explicit PosixProcesses(StdinMode stdinMode = StdinMode::Inherit, const JobTerminal* terminal = nullptr);

    bool isStartable(const std::string& path) override;
    std::optional<std::string> environment(const std::string& name) override;

    // The tool leads a process group of its own, so that stopping it stops
    // the helpers it started, and no signal for it ever reaches the caller's
    // group. With a terminal whose foreground group is the caller's, the
    // tool's group is the foreground group while it runs, as a shell's job;
    // a tool stopped from the terminal stops the caller too (the raised stop
    // signal), and goes on when the caller is continued. Signals blocked in
    // the calling thread are unblocked in the tool, and SIGPIPE is reset to
    // its default. The front end must not set SIGCHLD to SIG_IGN: the exit
    // code would be lost (the result is then -1).
    ProcessEnd startAndWait(const ProcessRequest& request) override;

    // startDetached in the current directory.
    int startNoWait(const ProcessRequest& request) override;

    // Starts the program in a session of its own (Ctrl-C in the bar's
    // terminal does not end an editor or a viewer), with an empty standard
    // input, in `directory` (empty: the current directory), and returns at
    // once: the process id, or -1 when nothing started (a directory that
    // cannot be entered included). A thread of the bar reaps it when it ends,
    // so it never lingers as a zombie.
    int startDetached(const ProcessRequest& request, const std::string& directory);

private:
    void waitForEnd(pid_t pid);
    void relayStop(pid_t group, int signal);

    StdinMode stdinMode_;
    const JobTerminal* terminal_;
};

// How a process ended, from the status that waitpid gave: its exit code, or
// 128 + the signal and the signal; -1 when neither.
ProcessEnd processEndOf(int status);

// A tool asked to stop has this long to end before SIGKILL.
inline constexpr std::chrono::milliseconds kGraceBeforeKill{2000};

// Stops the tool that startAndWait is waiting for, with its process group:
// `firstSignal` to the group, then SIGKILL to what is left of it once the
// tool has ended or kGraceBeforeKill has passed; the tool then reads as 128
// + the signal. Returns at once when no tool runs, else once the group has
// been sent SIGKILL. Safe from any thread, not from a signal handler.
void stopRunningTool(int firstSignal = SIGTERM);

// The same for a program that is about to end: from then on startAndWait
// starts nothing (it yields -1), so no tool is left running after it, and a
// terminal lent to the tool is the caller's again.
void stopToolsForExit(int firstSignal);

}  // namespace kestro

// SIGTERM, SIGHUP and SIGINT (an editor's "stop build", a closed terminal,
// an interrupt): the running tool's process group is stopped with the same
// signal instead of being left behind, and kestro-build ends with 128 + the
// signal.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "PosixProcesses.h"
#include "seam/TextFileStore.h"

namespace kestro::cli {

// Blocks SIGTERM, SIGHUP and SIGINT in the calling thread and starts the
// thread that waits for them; on one of them, endOnSignal. On a terminal the
// running tool has the terminal to itself, so Ctrl-C reaches the tool alone
// (TeX's prompt takes it as an interruption). Call before any other thread
// starts, so that every thread inherits the blocked signals.
void handleStopSignals();

// The tool's process group gets the signal (SIGKILL two seconds later if it
// is still there) and no other tool starts; once no settings write is under
// way the process exits with 128 + the signal (SIGINT: ends by it).
[[noreturn]] void endOnSignal(int signal);

// Tools that a SIGINT ended (Ctrl-C on the terminal that the tool had)
// end the road and kestro-build with it.
class InterruptibleProcesses : public Processes {
public:
    explicit InterruptibleProcesses(PosixProcesses& processes) : processes_(processes) {}

    bool isStartable(const std::string& path) override { return processes_.isStartable(path); }
    std::optional<std::string> environment(const std::string& name) override { return processes_.environment(name); }
    ProcessEnd startAndWait(const ProcessRequest& request) override;
    int startNoWait(const ProcessRequest& request) override { return processes_.startNoWait(request); }

private:
    PosixProcesses& processes_;
};

// The run's own status, unless a stop signal has arrived: then the exit
// with 128 + the signal is already under way (the stopped tool's end may
// have let the run finish first), and this waits for it.
int statusAfterStopSignals(int status);

// The settings file's storage, with each write finished before a stop
// signal ends the process: Kestro.ini is never left half-replaced, nor its
// temporary file behind.
class StopSafeTextFileStore : public TextFileStore {
public:
    explicit StopSafeTextFileStore(TextFileStore& store) : store_(store) {}

    std::optional<std::string> read(const std::string& path) override { return store_.read(path); }
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;

private:
    TextFileStore& store_;
};

}  // namespace kestro::cli

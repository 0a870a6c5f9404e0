// SIGTERM and SIGHUP (an editor's "stop build", a closed terminal): the
// running tool is stopped with the same signal instead of being left behind,
// and kestro-build ends with 128 + the signal.
#pragma once

#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "seam/TextFileStore.h"

namespace kestro::cli {

// Blocks SIGTERM and SIGHUP in the calling thread and starts the thread that
// waits for them. On either, the running tool gets the same signal (SIGKILL
// two seconds later if it is still there) and no other tool starts; once no
// settings write is under way the process exits with 128 + the signal. The
// tool stays in kestro-build's process group, so the terminal's Ctrl-C and
// TeX's prompt work as before. Call before any other thread starts, so that
// every thread inherits the blocked signals.
void handleStopSignals();

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

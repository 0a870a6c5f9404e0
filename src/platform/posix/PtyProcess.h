// One tool run on a pseudo-terminal: the tool's standard input, output and
// error are the terminal's slave side, in a session of its own; the bar
// reads and writes the master side. The program is executed directly with
// its argument vector, never through a shell. Nothing here waits: the front
// end watches terminal() and polls for the end.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileDescriptor.h"
#include "seam/Processes.h"

namespace kestro {

class PtyProcess {
public:
    PtyProcess() = default;
    // A tool still running is killed and reaped.
    ~PtyProcess();
    PtyProcess(const PtyProcess&) = delete;
    PtyProcess& operator=(const PtyProcess&) = delete;

    // Starts `executable` with `arguments` (argv[0] first) in the current
    // directory. False when nothing could be started: no terminal, no
    // process, or an exec that failed (reported through a close-on-exec pipe).
    bool start(const std::string& executable, const std::vector<std::string>& arguments);

    bool isRunning() const { return pid_ > 0; }
    // The master side, to watch for output; -1 once closed.
    int terminal() const { return master_.get(); }

    // What the tool has written: one chunk, empty when nothing is there now,
    // nothing when no more will come (no process holds the slave side).
    std::optional<std::string> readSome();

    // Types into the terminal: the tool reads it as keyboard input.
    void write(std::string_view bytes);

    // Sends `signal` to the tool's process group (helpers it started too).
    void signalGroup(int signal);

    // Reaps the tool if it has ended, without waiting; true once it has.
    bool poll();
    // Ends the tool at once and reaps it (the program is quitting).
    void killAndWait();
    // After the end: how the tool ended.
    const ProcessEnd& end() const { return end_; }

    // The terminal goes with the tool: helpers it left behind get SIGHUP
    // from the kernel, as in a closed terminal window.
    void closeTerminal() { master_.reset(); }

private:
    void reaped(int status);

    FileDescriptor master_;
    int pid_ = 0;
    ProcessEnd end_;
};

}  // namespace kestro

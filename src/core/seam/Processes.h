// What the core needs to start outside programs.
//
// The core decides which file to start and the command line (lookup and
// joining are portable); the platform only starts the process and waits.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace kestro {

struct ProcessRequest {
    std::string executable;   // the file found by the lookup
    std::string commandLine;  // the joined command line, as Windows passes it
    // The command line split into words by the Windows C runtime rules; what
    // a POSIX platform hands to exec. argv[0] is the program text.
    std::vector<std::string> arguments;
};

// How a process that the platform waited for ended.
struct ProcessEnd {
    // Its exit code as a signed 32-bit value, 128 + the signal number when a
    // signal ended it, and -1 exactly when nothing could be started.
    int exitCode = -1;
    // The signal that ended it; 0 when none did (always 0 on Windows).
    int signal = 0;
};

class Processes {
public:
    virtual ~Processes() = default;

    // True when `path` names a file the platform could start: on Windows a
    // file of that exact name exists, on Linux a regular file with an
    // execute bit.
    virtual bool isStartable(const std::string& path) = 0;

    // The value of an environment variable, or nothing when it is unset.
    virtual std::optional<std::string> environment(const std::string& name) = 0;

    // Starts the process in the current directory with the bar's environment
    // and waits for it without time limit.
    virtual ProcessEnd startAndWait(const ProcessRequest& request) = 0;

    // Starts the process and returns at once: -1 when nothing could be
    // started, otherwise a non-negative value.
    virtual int startNoWait(const ProcessRequest& request) = 0;
};

}  // namespace kestro

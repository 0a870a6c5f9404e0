// The controlling terminal, lent to each tool as a shell lends it to a job:
// while the tool runs, its process group is the terminal's foreground group,
// so it reads the terminal (TeX's "?" prompt) and Ctrl-C and Ctrl-Z reach it
// alone; afterwards the caller's group has the terminal again.
#pragma once

#include <sys/types.h>

#include <memory>

#include "FileDescriptor.h"

namespace kestro {

class JobTerminal {
public:
    // The process's controlling terminal; nothing when it has none.
    static std::unique_ptr<JobTerminal> open();

    int descriptor() const { return fd_.get(); }
    // Whether the caller's process group is the terminal's foreground group,
    // so it may lend the terminal (a job in the background may not).
    bool callerInForeground() const;
    // Makes `group` the foreground group. Called from a background group
    // too, so SIGTTOU is held off meanwhile, as a shell does.
    void giveTo(pid_t group) const;
    // Makes the caller's group the foreground group again.
    void takeBack() const;

private:
    explicit JobTerminal(int fd) : fd_(fd) {}

    FileDescriptor fd_;
};

}  // namespace kestro

// Starting tools with CreateProcessA.
#pragma once

#include "seam/Processes.h"

namespace kestro {

// The process inherits the bar's environment, handles and current
// directory, and is created without flags: started from the bar, which has
// no console, a console tool opens a console window of its own where the
// user sees its output and can answer its prompts.
class Win32Processes : public Processes {
public:
    // A file (not a directory) of exactly this name exists.
    bool isStartable(const std::string& path) override;
    std::optional<std::string> environment(const std::string& name) override;
    // Waits without time limit. The exit code read back as a signed 32-bit
    // value; -1 when the process could not be created.
    ProcessEnd startAndWait(const ProcessRequest& request) override;
    int startNoWait(const ProcessRequest& request) override;
};

}  // namespace kestro

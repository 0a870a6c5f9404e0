// The user's terminal, for the questions and file names kestro-build asks.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace kestro::cli {

class Terminal {
public:
    virtual ~Terminal() = default;
    // Shows the prompt and reads one line (without its line end); nothing
    // at the end of input.
    virtual std::optional<std::string> ask(const std::string& prompt) = 0;
};

// The controlling terminal (/dev/tty), or nothing when the process has none
// (started by a script, a cron job or an editor without a terminal).
std::unique_ptr<Terminal> openControllingTerminal();

}  // namespace kestro::cli

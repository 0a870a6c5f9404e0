// The road shared by the bibliography and index steps: run the tool, and
// when it cannot be started, fall back to the default name for the compiler,
// the fixed directories, the user's choice and one retry.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "state/BarState.h"
#include "state/Services.h"
#include "pipeline/CommandLine.h"

namespace kestro {

struct ToolStep {
    std::string& command;              // the state's field for this tool
    const char* key;                   // its key in section "Settings"
    std::vector<CommandPart> parts;    // the arguments of every run
    std::string defaultForCompiler;    // the name tried when the tool cannot start
    std::function<int()> select;       // the tool selection; non-zero: chosen
    const char* hintText;              // a found tool ended with an error
    const char* startFailureText;      // before the selection
    const char* errorText;             // the tool failed
};

// 1 when the tool ran and exited 0, else 0.
int runToolStep(const BarState& state, Services& services, ToolStep& step);

}  // namespace kestro

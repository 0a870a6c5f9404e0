// kestro-build: the bar's buttons from a terminal, a script or an editor's
// build command.
#include <iostream>
#include <string>
#include <vector>

#include "CliOptions.h"
#include "KestroBuild.h"
#include "StopSignals.h"
#include "Terminal.h"

int main(int argc, char** argv) {
    using namespace kestro::cli;
    const std::string program = argc > 0 ? argv[0] : "kestro-build";
    const std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);

    const ParseResult parsed = parseCommandLine(arguments);
    if (!parsed.options) {
        std::cerr << "kestro-build: " << parsed.error << "\n" << usageText("kestro-build");
        return kExitUsage;
    }
    if (parsed.options->version) {
        std::cout << "kestro-build " KESTRO_VERSION "\n";
        return kExitSuccess;
    }
    if (parsed.options->help) {
        std::cout << usageText("kestro-build");
        return kExitSuccess;
    }
    handleStopSignals();
    std::unique_ptr<Terminal> terminal = openControllingTerminal();
    return statusAfterStopSignals(runKestroBuild(*parsed.options, program, terminal.get(), std::cerr));
}

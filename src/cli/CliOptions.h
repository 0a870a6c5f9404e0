// The command line of kestro-build.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "seam/UserInterface.h"

namespace kestro::cli {

// Which of the bar's buttons the run presses; or, instead of a road, the
// removal of what the road wrote beside the document (CleanAll: the PDF too).
enum class Road { Tex, Pdf, OneClick, Clean, CleanAll };

struct CliOptions {
    Road road = Road::Tex;
    // The answer to every OK/Cancel question; nothing: ask on the terminal.
    std::optional<Answer> answer;
    // Paper size number of the paper size dialog; nothing: as it opens.
    std::optional<int> paperSizeNo;
    // Index options for the index options dialog; nothing: as it opens.
    std::optional<std::string> indexOptions;
    // The compiler's options for this run in place of "TeXOpt"; not stored.
    std::optional<std::string> texOptions;
    // RerunOnChange for this run.
    bool rerunOnChange = false;
    bool noView = false;
    // Build again on every save of a file the compiler read.
    bool watch = false;
    bool help = false;
    bool version = false;
    std::string document;
};

struct ParseResult {
    std::optional<CliOptions> options;  // nothing: a wrong command line
    std::string error;                  // why, for the user
};

// `arguments` without the program name.
ParseResult parseCommandLine(const std::vector<std::string>& arguments);

// The paper size number for a name of the paper size dialog ("a4",
// "landscape", "b5var", ... in any case); nothing for an unknown name.
std::optional<int> paperSizeNumber(const std::string& name);

std::string usageText(const std::string& programName);

}  // namespace kestro::cli

// --clean and --clean-all: removing what the road wrote beside a document.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace kestro::cli {

struct CleanOutcome {
    std::vector<std::string> removed;
    // Not removed, with the reason: a directory, a FIFO, a symbolic link or
    // the like, or a file its owner made read-only (kept as the user's).
    std::vector<std::pair<std::string, std::string>> leftAlone;
    // The system refused to remove it, with its reason.
    std::vector<std::pair<std::string, std::string>> failed;
};

// Removes each of `paths` that is a regular file its owner may write;
// names that do not exist are passed over.
CleanOutcome removeRegularFiles(const std::vector<std::string>& paths);

}  // namespace kestro::cli

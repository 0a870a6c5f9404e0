// The fixed TeX installation directories tried when a tool cannot be
// started, and the compiler's recovery.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "app/BarState.h"
#include "app/Services.h"
#include "build/CommandLine.h"

namespace kestro {

inline constexpr std::array<const char*, 3> toolSearchDirs = {
    "c:\\w32tex\\bin\\",
    "c:\\tex\\bin\\",
    "c:\\usr\\local\\bin\\",
};

// How a step judges a candidate's exit code.
enum class SearchAcceptance {
    AnyStart,     // compiler, converter: everything but -1 is accepted
    ExitCodeZero, // bibliography, index: 0 accepted; -1 next; else the step ends
};

struct SearchResult {
    enum class Outcome { Accepted, Rejected, NothingStarted } outcome = Outcome::NothingStarted;
    std::string candidate;  // for Accepted and Rejected
    int exitCode = -1;      // of the accepted or rejected run
};

// Runs directory + command + ".exe" for each directory in order with the
// step's parts. Candidates are tried as exact paths (never through PATH).
// The caller has checked that the command names no executable; storing an
// accepted candidate is the caller's.
SearchResult searchToolDirs(Services& services, const std::string& command,
                            const std::vector<CommandPart>& parts, SearchAcceptance acceptance);

// The compiler's recovery after runAndWait(texCommand, stem) gave -1:
// directory search, question, selection, one retry. 1 when the compiler has
// now run once, 0 when not.
int compilerFallback(BarState& state, Services& services);

}  // namespace kestro

// The fixed TeX installation directories tried when a tool cannot be
// started, and the compiler's recovery.
#pragma once

#include <string>
#include <vector>

#include "state/BarState.h"
#include "state/Services.h"
#include "pipeline/CommandLine.h"
#include "seam/FileSystem.h"
#include "text/PlatformRules.h"

namespace kestro {

// The directories tried, in order, each with its final separator. Windows:
// the three fixed places of Windows TeX distributions. Linux: the places TeX
// Live installs to, which a desktop session's PATH often lacks, as the file
// system holds them now: the bin/*/ directories of /usr/local/texlive/*/
// (newest year first), then those of /opt/texlive/*/, then /usr/bin/.
std::vector<std::string> toolSearchDirs(const PlatformRules& rules, FileSystem& files);

// The candidate of one directory: directory + command + ".exe" on Windows,
// directory + command on Linux.
std::string searchCandidate(const PlatformRules& rules, const std::string& directory, const std::string& command);

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

// Runs the candidate of each directory in order with the step's parts.
// Candidates are tried as exact paths (never through PATH or the current
// directory).
// The caller has checked that the command names no executable; storing an
// accepted candidate is the caller's.
SearchResult searchToolDirs(Services& services, const std::string& command,
                            const std::vector<CommandPart>& parts, SearchAcceptance acceptance);

// The compiler's recovery after runAndWait(texCommand, stem) gave -1:
// directory search, question, selection, one retry. 1 when the compiler has
// now run once, 0 when not.
int compilerFallback(BarState& state, Services& services);

}  // namespace kestro

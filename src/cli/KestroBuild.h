// One run of kestro-build: the bar's start-up without its window and
// history, one button, and the exit status.
#pragma once

#include <ostream>
#include <string>

#include "CliOptions.h"
#include "Terminal.h"

namespace kestro::cli {

inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// `terminal` may be null. Messages go to `messages` (standard error).
int runKestroBuild(const CliOptions& options, const std::string& programPath, Terminal* terminal,
                   std::ostream& messages);

}  // namespace kestro::cli

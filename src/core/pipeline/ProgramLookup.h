// Finding the file to start for a tool's program text.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "text/PlatformRules.h"

namespace kestro {

struct LookupEnvironment {
    // True when the candidate names a startable file.
    std::function<bool(const std::string&)> isStartable;
    // The PATH variable (";"-separated on Windows, ":"-separated on Linux).
    std::string pathVariable;
};

// Windows: the name part (after the last "\" or "/", else after the first
// ":", else the whole text) gets ".com", ".exe", ".bat", ".cmd" in turn
// unless it holds a dot. A text with a directory or drive is tried as
// written first; then, for a text without "/", each absolute PATH entry in
// order (with a backslash added when it lacks one); candidates longer than
// 259 bytes end the search.
// Linux: a text that contains "/" is used as written; a bare name is looked
// up along the absolute PATH entries only; no extensions.
// On both, a bare name is never looked for in the current directory, nor
// through an empty or relative PATH entry.
// Returns the file to start, or nothing.
std::optional<std::string> lookupProgram(const PlatformRules& rules, std::string_view program,
                                         const LookupEnvironment& env);

}  // namespace kestro

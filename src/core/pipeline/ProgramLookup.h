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
// ":", else the whole text, looked up as ".\" + text) gets ".com", ".exe",
// ".bat", ".cmd" in turn unless it holds a dot; then, for a text without
// "/", each PATH entry in order (with a backslash added when it lacks one);
// candidates longer than 259 bytes end the search.
// Linux: a text that contains "/" is used as written; a bare name is looked
// up along PATH only, entry by entry (an empty entry is skipped rather than
// taken as the current directory); no extensions.
// Returns the file to start, or nothing.
std::optional<std::string> lookupProgram(const PlatformRules& rules, std::string_view program,
                                         const LookupEnvironment& env);

}  // namespace kestro

// Starting the tools: the program lookup, the command line, and the start.
#pragma once

#include <string>
#include <vector>

#include "app/Services.h"
#include "build/CommandLine.h"

namespace kestro {

// Starts `program` with `parts` in the current directory and waits for it.
// The exit code as a signed 32-bit value, 128 + the signal number when a
// signal ended it (Linux), -1 exactly when nothing could be started.
int runAndWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts);

// The same lookup and command line; returns at once. -1 when nothing could
// be started, otherwise a non-negative value.
int runNoWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts);

// The request that starts `executable` with the command line of `program`
// and `parts`, quoted and split in the code page `cp`.
ProcessRequest processRequest(CodePage cp, const std::string& executable, const std::string& program,
                              const std::vector<CommandPart>& parts);

// The document stem as the one word a tool gets.
inline CommandPart stemPart(const std::string& stem) { return CommandPart{stem, true}; }
// An option text, which splits into words.
inline CommandPart optionsPart(const std::string& options) { return CommandPart{options, false}; }

}  // namespace kestro

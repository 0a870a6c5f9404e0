// Starting the tools: the program lookup, the command line, and the start.
#pragma once

#include <limits>
#include <string>
#include <vector>

#include "state/Services.h"
#include "pipeline/CommandLine.h"

namespace kestro {

// What runAndWait and runNoWait give when they refused to start a batch
// file because an argument holds a character that cmd.exe would not take
// literally: the refusal has been shown and noted as the road's stop. It is
// not -1, so no directory search or selection follows, and the step that
// gets it ends without success and without a message of its own. (A Windows
// tool that ends with exit code 0x80000000 reads the same.)
inline constexpr int kStartRefused = std::numeric_limits<int>::min();

// Starts `program` with `parts` in the current directory and waits for it.
// The exit code as a signed 32-bit value, 128 + the signal number when a
// signal ended it (Linux), -1 exactly when nothing could be started,
// kStartRefused when it was refused. A run that started is recorded in the
// press's road record.
int runAndWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts);

// Starts an already looked-up request, waits, records the run under
// `program` and yields its exit code as runAndWait does.
int startRecorded(Services& services, const std::string& program, const ProcessRequest& request);

// The same lookup and command line; returns at once. -1 when nothing could
// be started, kStartRefused when it was refused, otherwise a non-negative
// value.
int runNoWait(Services& services, const std::string& program, const std::vector<CommandPart>& parts);

// The request that starts `executable` with the command line of `program`
// and `parts`, quoted and split in the code page `cp`.
ProcessRequest processRequest(CodePage cp, const std::string& executable, const std::string& program,
                              const std::vector<CommandPart>& parts);

// The document stem as the one word a tool gets. A stem that begins with
// "-" would reach the tool as an option: it gets "./" in front, which names
// the same file in the current directory (the document's).
inline CommandPart stemPart(const std::string& stem) {
    return CommandPart{!stem.empty() && stem.front() == '-' ? "./" + stem : stem, true};
}
// An option text, which splits into words.
inline CommandPart optionsPart(const std::string& options) { return CommandPart{options, false}; }
// Every compiler run's parts: the options text (split into words) when there
// is one, then the stem. Without options the command line is the compiler
// and the stem alone, as it has always been.
inline std::vector<CommandPart> compilerParts(const std::string& options, const std::string& stem) {
    if (options.empty()) return {stemPart(stem)};
    return {optionsPart(options), stemPart(stem)};
}

}  // namespace kestro

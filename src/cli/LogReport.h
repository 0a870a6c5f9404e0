// The compiler log's first error and its LaTeX warnings as lines that
// editors' build panels and the quickfix lists of Emacs and Vim read:
// FILE:LINE: MESSAGE, FILE:LINE: warning: MESSAGE, or FILE: ... without a
// line.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "pipeline/LogScan.h"
#include "seam/FileSystem.h"
#include "state/BarState.h"

namespace kestro::cli {

// `path` as seen from `start`, the directory kestro-build was started in:
// relative when it lies inside it, absolute when not (../../../usr/share/...
// helps no one).
std::string shownFrom(const std::optional<std::string>& start, const std::string& path);

// A file as the log names it, as an absolute path: the compiler ran in the
// document's directory.
std::string pathFromLog(const BarState& state, const std::string& name);

// Whether the file a log names exists, for resolving names with blanks.
LogFileExists logFileExists(FileSystem& files, const BarState& state);

class LogReport {
public:
    // Reads the document's log; `start` is the directory kestro-build was
    // started in (nothing: unknown). A log that cannot be read reports
    // nothing.
    LogReport(FileSystem& files, const BarState& state, std::optional<std::string> start);

    // The first TeX error, with or without -file-line-error; nothing when
    // the log holds none.
    std::optional<std::string> firstErrorLine() const;
    // One line per LaTeX warning, in the log's order.
    std::vector<std::string> warningLines() const;

private:
    // FILE[:LINE]: for a file as the log names it.
    std::string placeOf(const std::string& logName, const std::optional<long>& line) const;

    const BarState& state_;
    LogFileExists exists_;
    std::optional<std::string> start_;
    std::string log_;
};

}  // namespace kestro::cli

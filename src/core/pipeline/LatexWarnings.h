// The LaTeX warnings of a compiler log, each with the place it speaks of,
// for editors' problem lists.
#pragma once

#include <string_view>
#include <vector>

#include "pipeline/LogScan.h"
#include "text/CodePage.h"

namespace kestro {

// Every "LaTeX Warning: " of `log`, in order: the message without that
// prefix, its lines joined (the lines TeX broke at its line width, and the
// indented lines of a message in several lines); the line its "on input
// line N" names; the innermost file open at the warning. `exists` as for
// LogScan.
std::vector<LogPlace> latexWarnings(CodePage cp, std::string_view log, const LogFileExists& exists = {});

}  // namespace kestro

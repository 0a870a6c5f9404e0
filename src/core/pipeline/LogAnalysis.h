// What the compile reads from the compiler's log and auxiliary files.
#pragma once

#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace kestro {

// The user answered the compiler's error prompt with x or X: a line that is
// exactly "? x" or "? X".
bool isUserStop(CodePage cp, std::string_view log);
// The log reports the missing bibliography file of the stem.
bool reportsMissingBbl(CodePage cp, std::string_view log, std::string_view stem);
bool auxNamesBibdata(CodePage cp, std::string_view aux);
bool logHasLabelChange(CodePage cp, std::string_view log);
// LaTeX or one of its common packages asks for another compiler run ("Rerun
// to get ...", "Rerun LaTeX", "has changed. Rerun", ...). Compared without
// case and across the log's line breaks: TeX breaks its log lines at 79
// columns, so a request can be split anywhere.
bool logAsksForRerun(CodePage cp, std::string_view log);
bool logHasLatexWarning(CodePage cp, std::string_view log);

enum class ClosingRuns { None, RunA, RunB };

// Which closing runs follow, from the table of contents before and now and
// the label flag. tocChanged is only asked when the toc existed before.
ClosingRuns chooseClosingRuns(bool tocBefore, bool tocNow, bool tocChanged, bool labels);

}  // namespace kestro

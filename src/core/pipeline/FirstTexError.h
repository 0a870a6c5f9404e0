// Where the first TeX error of a compiler log lies, in the form editors'
// build panels read (FILE:LINE: MESSAGE).
#pragma once

#include <optional>
#include <string_view>

#include "pipeline/LogScan.h"
#include "text/CodePage.h"

namespace kestro {

// The first error of `log`: a line that begins with "! ", with the file
// open at that point and the first "l.N" line that belongs to it; or, as
// TeX writes it with -file-line-error, a line "FILE:LINE: MESSAGE". Nothing
// when the log holds no error. `exists` resolves names with blanks or
// parentheses (see LogScan).
std::optional<LogPlace> firstTexError(CodePage cp, std::string_view log, const LogFileExists& exists = {});

}  // namespace kestro

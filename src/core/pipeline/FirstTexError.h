// Where the first TeX error of a compiler log lies, in the form editors'
// build panels read (FILE:LINE: MESSAGE).
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/CodePage.h"

namespace kestro {

struct TexErrorPlace {
    // The innermost file open at the error, as the log names it (relative to
    // the compiler's directory unless absolute); empty when the log shows
    // none open, which means the document itself.
    std::string file;
    // The line of the l.N context line; nothing when the error has none.
    std::optional<long> line;
    // The error line without its "! ".
    std::string message;
};

// The first line of `log` that begins with "! ", with the file open at that
// point (from the "(" that opens a file and the ")" that closes it) and the
// first "l.N" line after it. Nothing when the log holds no error. One pass
// over the text, so a log of any size costs no more than reading it.
std::optional<TexErrorPlace> firstTexError(CodePage cp, std::string_view log);

}  // namespace kestro

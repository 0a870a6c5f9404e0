// The files a compiler run read, for a watch that builds again when one of
// them is saved.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/LogScan.h"
#include "text/CodePage.h"

namespace kestro {

// The INPUT lines of the run's -recorder file (`recorder`, the .fls text)
// when there is one, else the files its log shows opened; without those the
// road writes itself: the run's OUTPUT lines and the log's \openout lines
// (.aux, .toc, ...), and the bibliography's and the index's output beside
// the document (`stem`.bbl, `stem`.ind). In order, each once, as named:
// relative to the compiler's directory (without a leading "./") unless
// absolute. `exists` as for LogScan.
std::vector<std::string> compilerInputs(CodePage cp, std::string_view log, const std::optional<std::string>& recorder,
                                        const std::string& stem, const LogFileExists& exists = {});

}  // namespace kestro

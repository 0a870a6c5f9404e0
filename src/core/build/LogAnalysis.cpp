#include "build/LogAnalysis.h"

#include <string>

namespace kestro {

bool isUserStop(CodePage cp, std::string_view log) {
    return containsText(cp, log, "\n? x") || containsText(cp, log, "\n? X");
}

bool reportsMissingBbl(CodePage cp, std::string_view log, std::string_view stem) {
    std::string needle = "No file ";
    needle += stem;
    needle += ".bbl";
    return containsText(cp, log, needle);
}

bool auxNamesBibdata(CodePage cp, std::string_view aux) { return containsText(cp, aux, "\\bibdata"); }

bool logHasLabelChange(CodePage cp, std::string_view log) { return containsText(cp, log, "Label(s)"); }

bool logHasLatexWarning(CodePage cp, std::string_view log) { return containsText(cp, log, "LaTeX Warning"); }

ClosingRuns chooseClosingRuns(bool tocBefore, bool tocNow, bool tocChanged, bool labels) {
    if (tocBefore) {
        if (labels) return ClosingRuns::RunB;
        return tocChanged ? ClosingRuns::RunA : ClosingRuns::None;
    }
    if (tocNow) return labels ? ClosingRuns::RunB : ClosingRuns::RunA;
    return labels ? ClosingRuns::RunA : ClosingRuns::None;
}

}  // namespace kestro

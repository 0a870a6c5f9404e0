// The log analysis on arbitrary logs and auxiliary files: no read out of
// bounds, and every search agrees with a byte search under the code page's
// rules (in UTF-8 exactly; in CP932 a match is always a byte match, and on
// ASCII-only text exactly one).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "build/FirstTexError.h"
#include "build/LogAnalysis.h"

using namespace kestro;

namespace {

void checkSearch(CodePage cp, bool found, std::string_view text, std::string_view needle) {
    const bool byteMatch = text.find(needle) != std::string_view::npos;
    if (found) FUZZ_CHECK(byteMatch);
    if (cp == CodePage::Utf8 || (kestro::fuzz::isAscii(text) && kestro::fuzz::isAscii(needle))) {
        FUZZ_CHECK(found == byteMatch);
    }
}

// The re-run requests as a plain reading finds them: the log without its
// line breaks, its ASCII letters in lower case, one byte search a request.
bool plainRerunRequest(std::string_view log) {
    std::string plain;
    for (const char c : log) {
        if (c != '\n' && c != '\r') plain += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (const char* request : {"rerun to get", "rerun to correct", "rerun latex", "has changed. rerun"}) {
        if (plain.find(request) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const CodePage cp = kestro::fuzz::codePageFrom(in.ConsumeBool());
    const bool tocBefore = in.ConsumeBool();
    const bool tocNow = in.ConsumeBool();
    const bool tocChanged = in.ConsumeBool();
    const std::string stem = in.ConsumeRandomLengthString(128);
    const std::string log = in.ConsumeRemainingBytesAsString();

    const bool stop = isUserStop(cp, log);
    const bool lowerStop = containsText(cp, log, "\n? x");
    const bool upperStop = containsText(cp, log, "\n? X");
    FUZZ_CHECK(stop == (lowerStop || upperStop));
    checkSearch(cp, lowerStop, log, "\n? x");
    checkSearch(cp, upperStop, log, "\n? X");

    // The stem is the document's own name and may hold any characters; in
    // UTF-8 a needle that starts and ends in ASCII is found wherever its bytes are.
    const std::string bblNeedle = "No file " + stem + ".bbl";
    checkSearch(cp, reportsMissingBbl(cp, log, stem), log, bblNeedle);
    checkSearch(cp, auxNamesBibdata(cp, log), log, "\\bibdata");
    const bool labels = logHasLabelChange(cp, log);
    checkSearch(cp, labels, log, "Label(s)");
    checkSearch(cp, logHasLatexWarning(cp, log), log, "LaTeX Warning");
    const bool rerun = logAsksForRerun(cp, log);
    if (rerun) FUZZ_CHECK(plainRerunRequest(log));
    if (cp == CodePage::Utf8 || kestro::fuzz::isAscii(log)) FUZZ_CHECK(rerun == plainRerunRequest(log));

    // The closing runs: run B only on a label change; without a toc before,
    // whether it changed is never asked.
    const ClosingRuns runs = chooseClosingRuns(tocBefore, tocNow, tocChanged, labels);
    if (runs == ClosingRuns::RunB) FUZZ_CHECK(labels && (tocBefore || tocNow));
    if (!tocBefore) FUZZ_CHECK(runs == chooseClosingRuns(false, tocNow, !tocChanged, labels));
    if (!labels && !tocNow && !tocBefore) FUZZ_CHECK(runs == ClosingRuns::None);

    // The first TeX error: its message is what follows "! " in the log, and
    // there is none without such a text.
    const std::optional<TexErrorPlace> error = firstTexError(cp, log);
    if (error) FUZZ_CHECK(log.find("! " + error->message) != std::string::npos);
    if (log.find("! ") == std::string::npos) FUZZ_CHECK(!error);
    if (error && error->line) FUZZ_CHECK(*error->line >= 0 && *error->line <= 999999999);
    return 0;
}

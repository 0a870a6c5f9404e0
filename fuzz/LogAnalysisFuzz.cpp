// The log analysis on arbitrary logs: the re-run requests are what a plain
// reading finds (exactly in UTF-8 and on ASCII text, never more in CP932),
// the closing runs keep their rules, and the first TeX error and the
// warnings are texts of the log. The plain searches are the code page's, fuzzed there.
#include <string>

#include "FuzzCheck.h"
#include "pipeline/FirstTexError.h"
#include "pipeline/LatexWarnings.h"
#include "pipeline/LogAnalysis.h"

using namespace kestro;

namespace {

// The log without its line breaks, its ASCII letters in lower case, one
// byte search a request.
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
    const bool tocBefore = in.ConsumeBool(), tocNow = in.ConsumeBool(), tocChanged = in.ConsumeBool();
    const std::string log = in.ConsumeRemainingBytesAsString();

    const bool rerun = logAsksForRerun(cp, log);
    if (rerun) FUZZ_CHECK(plainRerunRequest(log));
    if (cp == CodePage::Utf8 || kestro::fuzz::isAscii(log)) FUZZ_CHECK(rerun == plainRerunRequest(log));

    // Run B only on a label change; without a toc before, whether it
    // changed is never asked.
    const bool labels = logHasLabelChange(cp, log);
    const ClosingRuns runs = chooseClosingRuns(tocBefore, tocNow, tocChanged, labels);
    if (runs == ClosingRuns::RunB) FUZZ_CHECK(labels && (tocBefore || tocNow));
    if (!tocBefore) FUZZ_CHECK(runs == chooseClosingRuns(false, tocNow, !tocChanged, labels));
    if (!labels && !tocNow && !tocBefore) FUZZ_CHECK(runs == ClosingRuns::None);

    // Errors and warnings are texts of the log, whichever names exist.
    const auto exists = [&](const std::string& name) { return name.size() % 3 == 0; };
    const std::optional<LogPlace> error = firstTexError(cp, log, exists);
    if (error) FUZZ_CHECK(log.find(error->message) != std::string::npos);
    if (log.find("! ") == std::string::npos && log.find(": ") == std::string::npos) FUZZ_CHECK(!error);
    if (error && error->line) FUZZ_CHECK(*error->line >= 0 && *error->line <= 999999999);
    for (const LogPlace& warning : latexWarnings(cp, log, exists)) {
        FUZZ_CHECK(log.find("LaTeX Warning: ") != std::string::npos);
        if (warning.line) FUZZ_CHECK(*warning.line >= 0 && *warning.line <= 999999999);
    }
    return 0;
}

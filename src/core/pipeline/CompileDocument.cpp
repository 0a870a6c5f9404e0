#include "pipeline/CompileDocument.h"

#include <optional>
#include <string>

#include "pipeline/Bibliography.h"
#include "pipeline/DocumentDirectory.h"
#include "pipeline/IndexStep.h"
#include "pipeline/Launcher.h"
#include "pipeline/LogAnalysis.h"
#include "pipeline/ToolSearch.h"
#include "seam/FileError.h"

namespace kestro {

namespace {

constexpr const char* kNoDocument =
    "処理したい TeX ﾌｧｲﾙ をドラッグ＆ドロップするか、\n「ﾌｧｲﾙ 選択」で、選んで下さい。";
constexpr const char* kWarningNotice =
    "コンパイルは成功しました！！\nしかし \"LaTeX Warning\" があります。\n"
    "(\"Font Warning\" ではありません。) \nログファイルで確認して下さい。";
constexpr const char* kWarningCaption = "Warning!!";

// One call of the compile: the document's files, and the compiler runs.
class Compile {
public:
    Compile(BarState& state, Services& services)
        : state_(state), services_(services), cp_(services.rules.codePage) {}

    int run();

private:
    std::string besideDocument(const char* extension) const {
        return state_.documentDir + state_.documentStem + extension;
    }
    // The log is read from the current directory (the document's).
    std::string readLog() { return readTextFile(services_.files, state_.documentStem + ".log"); }
    std::string read(const char* extension) { return readTextFile(services_.files, besideDocument(extension)); }
    // The text, or nothing when the file does not exist.
    std::optional<std::string> readIfExists(const char* extension) {
        if (!services_.files.exists(besideDocument(extension))) return std::nullopt;
        return read(extension);
    }
    std::optional<FileTime> timeOf(const char* extension) {
        return services_.files.modificationTime(besideDocument(extension));
    }
    int runCompiler() {
        return runAndWait(services_, state_.texCommand, compilerParts(state_.texOptions, state_.documentStem));
    }
    // A closing run: false, the compile failed, unless it exited 0.
    bool closingRunSucceeds() {
        const int code = runCompiler();
        if (code == -1) services_.road.noteStop(state_.texCommand + " could not be started");
        return code == 0;
    }
    // The user answered the error prompt with x in this log; the road ends.
    bool userStopIn(const std::string& log) {
        if (!isUserStop(cp_, log)) return false;
        services_.road.noteStop(state_.texCommand + " was stopped at its error prompt");
        return true;
    }
    // A re-run for the bibliography or the index: only its exit code 0 is
    // followed by a look at the log. False when the user stopped it.
    bool rerunAndCheck() { return runCompiler() != 0 || !userStopIn(readLog()); }

    // Runs the bibliography or index step; true when the compiler is to run
    // again: the tool succeeded and, with RerunOnChange, the file it wrote
    // differs from the one the last compiler run read (which no compiler
    // run writes, so it is the one there before the tool), or there was none.
    bool toolAsksForRerun(int (*step)(BarState&, Services&), const char* written) {
        const bool onChange = state_.rerunOnChange != 0;
        const std::optional<std::string> read = onChange ? readIfExists(written) : std::nullopt;
        if (step(state_, services_) == 0) return false;
        return !onChange || !read || readIfExists(written) != read;
    }

    bool bibliographyPhase(const std::string& log, const std::optional<std::string>& auxBefore);
    int finalPhase(const std::optional<std::string>& tocBefore);

    BarState& state_;
    Services& services_;
    CodePage cp_;
};

int Compile::run() {
    // The snapshot; a file that does not exist has the empty text.
    const std::optional<std::string> tocBefore = readIfExists(".toc");
    const std::optional<std::string> auxBefore = readIfExists(".aux");
    const std::optional<FileTime> dviBefore = timeOf(".dvi");
    const std::optional<FileTime> idxBefore = timeOf(".idx");

    const int code = runCompiler();
    if (code == kStartRefused || (code == -1 && compilerFallback(state_, services_) == 0)) return 0;

    // Full-resolution times: a DVI rewritten within the same second as
    // before still counts as new, and one not rewritten never does.
    const std::optional<FileTime> dviNow = timeOf(".dvi");
    if (!dviNow || (dviBefore && !(*dviNow > *dviBefore))) {
        services_.road.noteStop(state_.texCommand + " wrote no DVI file");
        return 0;
    }

    const std::string log = readLog();
    if (userStopIn(log)) return 0;

    if (!bibliographyPhase(log, auxBefore)) return 0;

    const std::optional<FileTime> idxNow = timeOf(".idx");
    if (idxNow && (!idxBefore || *idxNow > *idxBefore)) {
        if (toolAsksForRerun(runIndex, ".ind") && !rerunAndCheck()) return 0;
    }
    return finalPhase(tocBefore);
}

bool Compile::bibliographyPhase(const std::string& log, const std::optional<std::string>& auxBefore) {
    bool rerun = false;
    if (reportsMissingBbl(cp_, log, state_.documentStem)) {
        rerun = toolAsksForRerun(runBibliography, ".bbl");
    } else {
        const std::string aux = read(".aux");
        if (auxNamesBibdata(cp_, aux)) {
            rerun = toolAsksForRerun(runBibliography, ".bbl");
        } else {
            rerun = auxBefore && aux != *auxBefore;
        }
    }
    return !rerun || rerunAndCheck();
}

int Compile::finalPhase(const std::optional<std::string>& tocBefore) {
    const std::optional<std::string> tocNow = readIfExists(".toc");
    const std::string tocText = tocNow.value_or("");
    std::string log = readLog();
    bool warning = logHasLatexWarning(cp_, log);
    // Packages such as hyperref ask in words of their own: the outlines and
    // page labels of a first run settle only with one more run.
    const bool labels = logHasLabelChange(cp_, log) || logAsksForRerun(cp_, log);
    if (userStopIn(log)) return 0;

    const bool tocChanged = tocBefore && tocText != *tocBefore;
    ClosingRuns closing = chooseClosingRuns(tocBefore.has_value(), tocNow.has_value(), tocChanged, labels);

    if (closing == ClosingRuns::RunB) {
        if (!closingRunSucceeds()) return 0;
        const std::string tocAfterB = read(".toc");
        log = readLog();
        warning = logHasLatexWarning(cp_, log);
        closing = tocAfterB == tocText ? ClosingRuns::None : ClosingRuns::RunA;
    }
    if (closing == ClosingRuns::RunA) {
        const bool succeeded = closingRunSucceeds();
        log = readLog();
        warning = logHasLatexWarning(cp_, log);
        if (!succeeded) return 0;
    }

    if (warning) showBarMessage(services_, kWarningNotice, BoxIcon::Exclamation, BoxButtons::Ok, kWarningCaption);
    return 1;
}

}  // namespace

int compileDocument(BarState& state, Services& services) {
    if (state.documentStem.empty()) {
        showBarMessage(services, kNoDocument);
        services.road.noteStop("no document chosen");
        return 0;
    }
    enterDocumentDirectory(state, services);

    if (!services.rules.contains(state.texCommand, "latex")) {
        // Plain TeX: one run, no analysis; a started compiler is success.
        const int code = runAndWait(services, state.texCommand, compilerParts(state.texOptions, state.documentStem));
        if (code == kStartRefused) return 0;
        return code != -1 ? 1 : compilerFallback(state, services);
    }
    return Compile(state, services).run();
}

}  // namespace kestro

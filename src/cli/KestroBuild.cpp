#include "KestroBuild.h"

#include <errno.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <iostream>
#include <optional>
#include <variant>

#include "Clean.h"
#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTextFileStore.h"
#include "StopSignals.h"
#include "TerminalUi.h"
#include "app/Startup.h"
#include "app/BarWindow.h"
#include "document/OutputFiles.h"
#include "seam/FileError.h"
#include "pipeline/FirstTexError.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro::cli {
namespace {

// True when the system refuses the path for its length (longer than
// PATH_MAX, or a part longer than NAME_MAX), so it names no file at all.
bool longerThanAllowed(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && errno == ENAMETOOLONG;
}

// `path` as seen from `start`, the directory kestro-build was started in.
std::string shownFrom(const std::optional<std::string>& start, const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path normal = fs::path(path).lexically_normal();
    if (!start) return normal.string();
    const fs::path relative = normal.lexically_relative(*start);
    return relative.empty() ? normal.string() : relative.string();
}

// FILE:LINE: MESSAGE for the first TeX error of the log, as editors' build
// panels and quickfix lists read it; nothing when the log holds none.
std::optional<std::string> firstErrorLine(FileSystem& files, const BarState& state,
                                          const std::optional<std::string>& start) {
    std::string log;
    try {
        log = files.readWholeFile(state.documentDir + state.documentStem + ".log");
    } catch (const FileError&) {
        return std::nullopt;
    } catch (const MemoryError&) {
        return std::nullopt;
    }
    const std::optional<TexErrorPlace> error = firstTexError(CodePage::Utf8, log);
    if (!error) return std::nullopt;
    // Names in the log are the compiler's, which ran in the document's
    // directory.
    std::string file = error->file.empty() ? state.documentPath : error->file;
    if (file.front() != '/') file = state.documentDir + file;
    std::string line = shownFrom(start, file) + ":";
    if (error->line) line += std::to_string(*error->line) + ":";
    return line + " " + error->message;
}

// The document as an absolute path, or the exit status when there is none
// to build (its message written).
std::variant<std::string, int> documentToBuild(const CliOptions& options, FileSystem& files,
                                               const std::optional<std::string>& cwd, const std::string& appName,
                                               std::ostream& messages) {
    const std::string document = documentFromDirectory(options.document, cwd);
    if (document.front() != '/') {
        messages << appName << ": the current directory cannot be read\n";
        return kExitFailure;
    }
    if (!files.exists(document)) {
        if (longerThanAllowed(document)) {
            messages << appName << ": " << options.document
                     << ": the path is longer than the system allows (" << document.size() << " bytes)\n";
        } else {
            messages << appName << ": " << document << " が見つかりません。\n";
        }
        return kExitUsage;
    }
    return document;
}

// --clean and --clean-all: the road's files beside `document` go, each
// named on `listing`; the settings file is neither read nor written.
int clean(const PlatformRules& rules, const std::string& document, bool withPdf,
          const std::optional<std::string>& start, const std::string& appName, std::ostream& listing,
          std::ostream& messages) {
    const CleanOutcome outcome = removeRegularFiles(filesTheRoadWrites(rules, document, withPdf));
    for (const std::string& path : outcome.removed) listing << "removed " << shownFrom(start, path) << "\n";
    for (const auto& [path, why] : outcome.leftAlone) {
        messages << appName << ": left " << shownFrom(start, path) << " alone: " << why << "\n";
    }
    for (const auto& [path, why] : outcome.failed) {
        messages << appName << ": cannot remove " << shownFrom(start, path) << ": " << why << "\n";
    }
    return outcome.failed.empty() ? kExitSuccess : kExitFailure;
}

BarControl buttonOf(Road road) {
    switch (road) {
    case Road::Tex: return BarControl::Tex;
    case Road::Pdf: return BarControl::Pdf;
    case Road::OneClick: return BarControl::OneClick;
    case Road::Clean:
    case Road::CleanAll: break;  // no button: done before the bar starts
    }
    return BarControl::Tex;
}

}  // namespace

int runKestroBuild(const CliOptions& options, const std::string& programPath, Terminal* terminal,
                   std::ostream& messages) {
    const PlatformRules rules = PlatformRules::posix();
    const std::string appName = applicationNameFromExecutable(rules, programPath);

    PosixFileSystem files;
    const std::optional<std::string> cwd = files.currentDirectory();
    const std::variant<std::string, int> found = documentToBuild(options, files, cwd, appName, messages);
    if (const int* status = std::get_if<int>(&found)) return *status;
    if (options.road == Road::Clean || options.road == Road::CleanAll) {
        const bool withPdf = options.road == Road::CleanAll;
        return clean(rules, std::get<std::string>(found), withPdf, cwd, appName, std::cout, messages);
    }

    // Tools read the terminal when kestro-build has one; otherwise nothing,
    // so TeX stops at an error instead of waiting for an answer.
    PosixProcesses processes(::isatty(0) ? StdinMode::Inherit : StdinMode::Empty);
    PosixTextFileStore disk;
    StopSafeTextFileStore store(disk);
    IniProfile profile(store);
    SettingsFile settings(profile, settingsPathForStart(rules, cwd));
    TerminalUi ui(options, messages, terminal);
    TerminalDesktop desktop(options, processes);
    Services services{rules, settings, files, processes, desktop, ui, appName};

    BarWindow bar(services, "");
    bar.initialiseWithoutWindow(std::get<std::string>(found));
    BarState& state = bar.state();

    // Where a dialog is switched off, its command-line value holds for this
    // run only; where it shows, the dialog takes the value and stores it.
    if (options.paperSizeNo && state.paperSizeSticky != 0) state.paperSizeNo = *options.paperSizeNo;
    if (options.indexOptions && state.indexDialogNever != 0) state.indexOptions = *options.indexOptions;
    if (options.texOptions) state.texOptions = *options.texOptions;
    if (options.rerunOnChange) state.rerunOnChange = 1;

    // The button's own road, judged by the core. The log counts only when
    // this road's compiler wrote it.
    const std::string logPath = state.documentDir + state.documentStem + ".log";
    const std::optional<FileTime> logBefore = files.modificationTime(logPath);
    bar.press(buttonOf(options.road));
    const RoadOutcome& road = bar.lastRoad();
    if (road.succeeded) return kExitSuccess;

    const std::optional<FileTime> logAfter = files.modificationTime(logPath);
    if (logAfter && logAfter != logBefore) {
        if (std::optional<std::string> line = firstErrorLine(files, state, cwd)) messages << *line << "\n";
    }
    messages << appName << ": " << road.failure << "\n";
    return kExitFailure;
}

}  // namespace kestro::cli

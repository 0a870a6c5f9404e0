#include "KestroBuild.h"

#include <unistd.h>

#include <iostream>
#include <optional>
#include <variant>

#include "Clean.h"
#include "DocumentFile.h"
#include "InotifyWatcher.h"
#include "JobTerminal.h"
#include "LogReport.h"
#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTextFileStore.h"
#include "StopSignals.h"
#include "TerminalUi.h"
#include "Watch.h"
#include "app/Startup.h"
#include "app/BarWindow.h"
#include "document/OutputFiles.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro::cli {
namespace {

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

// One press of the button: the first error where the road failed on one,
// else the warnings, and the failure line. The log counts only when this
// road's compiler wrote it.
int pressAndReport(BarWindow& bar, Road road, FileSystem& files, const std::optional<std::string>& cwd,
                   const std::string& appName, std::ostream& messages) {
    const BarState& state = bar.state();
    const std::string logPath = state.documentDir + state.documentStem + ".log";
    const std::optional<FileTime> logBefore = files.modificationTime(logPath);
    bar.press(buttonOf(road));
    const RoadOutcome& outcome = bar.lastRoad();

    const std::optional<FileTime> logAfter = files.modificationTime(logPath);
    if (logAfter && logAfter != logBefore) {
        const LogReport report(files, state, cwd);
        const std::optional<std::string> error = outcome.succeeded ? std::nullopt : report.firstErrorLine();
        const std::vector<std::string> lines = error ? std::vector{*error} : report.warningLines();
        for (const std::string& line : lines) messages << line << "\n";
    }
    if (outcome.succeeded) return kExitSuccess;
    messages << appName << ": " << outcome.failure << "\n";
    return kExitFailure;
}

// --watch: the viewer is started after the first PDF only.
int watchAndBuild(BarWindow& bar, Road road, FileSystem& files, const std::optional<std::string>& cwd,
                  const std::string& appName, std::ostream& messages) {
    InotifyWatcher watcher;
    if (!watcher.valid()) {
        messages << appName << ": files cannot be watched on this system\n";
        return kExitFailure;
    }
    DocumentWatch watch(watcher, files, bar.state(), appName, messages);
    return watch.run([&] {
        const bool built = pressAndReport(bar, road, files, cwd, appName, messages) == kExitSuccess;
        if (built) road = Road::Tex;
        return built;
    });
}

}  // namespace

int runKestroBuild(const CliOptions& options, const std::string& programPath, Terminal* terminal,
                   std::ostream& messages) {
    const PlatformRules rules = PlatformRules::posix();
    const std::string appName = applicationNameFromExecutable(rules, programPath);

    PosixFileSystem files;
    const std::optional<std::string> cwd = files.currentDirectory();
    const std::variant<std::string, int> found = documentToBuild(options.document, files, cwd, appName, messages);
    if (const int* status = std::get_if<int>(&found)) return *status;
    if (options.road == Road::Clean || options.road == Road::CleanAll) {
        const bool withPdf = options.road == Road::CleanAll;
        return clean(rules, std::get<std::string>(found), withPdf, cwd, appName, std::cout, messages);
    }

    // Tools read the terminal when kestro-build has one; otherwise nothing,
    // so TeX stops at an error instead of waiting for an answer.
    const std::unique_ptr<JobTerminal> jobTerminal = JobTerminal::open();
    PosixProcesses platformProcesses(::isatty(0) ? StdinMode::Inherit : StdinMode::Empty, jobTerminal.get());
    InterruptibleProcesses processes(platformProcesses);
    PosixTextFileStore disk;
    StopSafeTextFileStore store(disk);
    IniProfile profile(store);
    SettingsFile settings(profile, settingsPathForStart(rules, cwd));
    TerminalUi ui(options, messages, terminal);
    TerminalDesktop desktop(options, platformProcesses);
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

    // The button's own road, judged by the core.
    if (options.watch) return watchAndBuild(bar, options.road, files, cwd, appName, messages);
    return pressAndReport(bar, options.road, files, cwd, appName, messages);
}

}  // namespace kestro::cli

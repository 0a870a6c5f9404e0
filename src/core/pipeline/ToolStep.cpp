#include "pipeline/ToolStep.h"

#include "pipeline/DocumentDirectory.h"
#include "pipeline/Launcher.h"
#include "pipeline/ToolSearch.h"
#include "settings/SettingsKeys.h"

namespace kestro {

int runToolStep(const BarState& state, Services& services, ToolStep& step) {
    const int code = runAndWait(services, step.command, step.parts);
    if (code == 0) return 1;
    if (code == kStartRefused) return 0;
    // A tool that started and reported an error, or a named executable that
    // is gone: nothing to search for.
    if (code != -1 || services.rules.namesExecutable(step.command)) {
        showBarMessage(services, step.errorText);
        return 0;
    }

    // Not stored: only a found or chosen tool is kept.
    step.command = step.defaultForCompiler;
    SearchResult found = searchToolDirs(services, step.command, step.parts, SearchAcceptance::ExitCodeZero);
    if (found.outcome == SearchResult::Outcome::Accepted) {
        step.command = found.candidate;
        services.settings.writeSettingString(keys::kSettings, step.key, step.command);
        return 1;
    }
    if (found.outcome == SearchResult::Outcome::Rejected) {
        showBarMessage(services, step.hintText);
        return 0;
    }

    showBarMessage(services, step.startFailureText);
    if (step.select() == 0) {
        showBarMessage(services, step.errorText);
        return 0;
    }
    enterDocumentDirectory(state, services);
    const int retried = runAndWait(services, step.command, step.parts);
    if (retried == 0) return 1;
    if (retried != kStartRefused) showBarMessage(services, step.errorText);
    return 0;
}

}  // namespace kestro

#include "pipeline/IndexStep.h"

#include "pipeline/Launcher.h"
#include "pipeline/ToolStep.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"

namespace kestro {

namespace {

constexpr const char* kIndexStartFailure = "MakeIndex が起動できません。";

}  // namespace

int runIndex(BarState& state, Services& services) {
    // Shown once per call, before the first run; cancelling it keeps the
    // options as they were.
    if (state.indexDialogNever == 0) editIndexOptions(state, services);

    const bool japanese = services.rules.contains(state.texCommand, "platex");
    ToolStep step{
        state.indexCommand,
        keys::kMkIdx,
        {optionsPart(state.indexOptions), stemPart(state.documentStem)},
        japanese ? services.rules.defaultIndexCommand() : std::string("makeindex"),
        [&state, &services] { return selectIndexTool(state, services); },
        services.rules.texts().indexHint,
        kIndexStartFailure,
        services.rules.texts().indexError,
    };
    return runToolStep(state, services, step);
}

}  // namespace kestro

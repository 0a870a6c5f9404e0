#include "pipeline/Bibliography.h"

#include "pipeline/Launcher.h"
#include "pipeline/ToolStep.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"

namespace kestro {

namespace {

constexpr const char* kBibtexStartFailure = "BibTeX が起動できません。";

}  // namespace

int runBibliography(BarState& state, Services& services) {
    ToolStep step{
        state.bibtexCommand,
        keys::kBib,
        {stemPart(state.documentStem)},
        services.rules.bibtexNameFor(state.texCommand),
        [&state, &services] { return selectBibtex(state, services); },
        services.rules.texts().bibtexHint,
        kBibtexStartFailure,
        services.rules.texts().bibtexError,
    };
    return runToolStep(state, services, step);
}

}  // namespace kestro

#include "document/EditorAndPrompt.h"

#include <string>

#include "pipeline/Launcher.h"

namespace kestro {

void openInEditor(BarState& state, Services& services) {
    // Only a hint: the editor still opens, with no document.
    if (state.documentStem.empty()) showBarMessage(services, services.rules.texts().editorHint);
    if (!services.desktop.openWith(state.editorPath, "\"" + state.documentPath + "\"", state.documentDir)) {
        showBarMessage(services, "Editor が起動できません！登録して下さい！");
    }
}

void openCommandPrompt(BarState& state, Services& services) {
    // Without a document (or with its directory gone) the console opens
    // wherever the bar is.
    services.files.setCurrentDirectory(state.documentDir);
    const std::string terminal = services.processes.environment("TERMINAL").value_or("");
    for (const std::string& program : services.rules.commandPromptPrograms(terminal)) {
        if (runNoWait(services, program, {}) != -1) return;
    }
}

}  // namespace kestro

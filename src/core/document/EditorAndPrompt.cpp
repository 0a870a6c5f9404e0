#include "document/EditorAndPrompt.h"

#include <string>

#include "pipeline/Launcher.h"

namespace kestro {

void openInEditor(BarState& state, Services& services) {
    // Only a hint: the editor still opens, with no document.
    if (state.documentStem.empty()) showBarMessage(services, services.rules.texts().editorHint);
    // Windows passes the editor one text that the editor splits, so the path
    // goes in quotes; on Linux it is one argument as it is, so a name that
    // holds quotes cannot smuggle options in.
    const std::string document =
        services.rules.isWindows() ? "\"" + state.documentPath + "\"" : state.documentPath;
    if (!services.desktop.openWith(state.editorPath, {document}, state.documentDir)) {
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

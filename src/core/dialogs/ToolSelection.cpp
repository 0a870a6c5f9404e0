#include "dialogs/ToolSelection.h"

#include <optional>
#include <string>

#include "settings/SettingsKeys.h"

namespace kestro {
namespace {

// When the front end cannot show a file dialog, the user is sent to the
// settings panel's button for the tool instead.
std::string settingsHint(const PlatformRules& rules, FileChoice purpose) {
    const char* button = "";
    switch (purpose) {
    case FileChoice::TexCompiler: button = "TeX の変更"; break;
    case FileChoice::Bibtex: button = rules.texts().bibtexButton; break;
    case FileChoice::Dvipdf: button = "dvipdfmx の選択"; break;
    case FileChoice::IndexTool: button = "mendex の選択"; break;
    case FileChoice::Editor: button = "ｴﾃﾞｨﾀ の変更"; break;
    case FileChoice::Document: return "ファイルを選択できません。";
    }
    return std::string("ここでは実行ファイルを選択できません。\n「設定」で「") + button +
           "」をして、実行ファイルを選択して下さい。";
}

// False (after telling the user where to choose) when no file can be chosen
// here; the caller then changes nothing.
bool canChoose(Services& services, FileChoice purpose) {
    if (services.ui.canChooseFiles()) return true;
    showAppMessage(services, settingsHint(services.rules, purpose));
    return false;
}

struct ToolSlot {
    FileChoice purpose;
    std::string BarState::*field;
    const char* key;
    std::string bareName;
    const char* PlatformTexts::*explanation;
};

int selectTool(BarState& state, Services& services, const ToolSlot& slot) {
    if (!canChoose(services, slot.purpose)) return 0;
    std::optional<std::string> chosen;
    if (showAppMessage(services, services.rules.texts().*slot.explanation, BoxButtons::OkCancel) == Answer::Ok) {
        chosen = services.ui.chooseFile({FileKind::Tool, slot.purpose});
    }
    if (chosen) {
        state.*slot.field = *chosen;
        services.settings.writeSettingString(keys::kSettings, slot.key, *chosen);
        return 1;
    }
    state.*slot.field = slot.bareName;
    services.settings.deleteSetting(keys::kSettings, slot.key);
    return 0;
}

}  // namespace

void changeTexCompiler(BarState& state, Services& services) {
    if (!canChoose(services, FileChoice::TexCompiler)) return;
    if (showAppMessage(services, services.rules.texts().changeTexExplanation, BoxButtons::OkCancel) == Answer::Ok) {
        selectTexCompiler(state, services);
        return;
    }
    state.texCommand = services.rules.defaultTexCommand();
    services.settings.deleteSetting(keys::kSettings, keys::kTex);
}

int selectTexCompiler(BarState& state, Services& services) {
    if (!canChoose(services, FileChoice::TexCompiler)) return 0;
    std::optional<std::string> chosen = services.ui.chooseFile({FileKind::Tool, FileChoice::TexCompiler});
    if (!chosen) return 0;

    const PlatformRules& rules = services.rules;
    state.texCommand = *chosen;
    services.settings.writeSettingString(keys::kSettings, keys::kTex, state.texCommand);

    // A LaTeX compiler brings its companions from its own directory. A
    // converter already fixed to a particular executable stays as it is.
    if (rules.contains(state.texCommand, "latex")) {
        const std::string directory = rules.directoryOf(state.texCommand);
        if (!rules.namesExecutable(state.dvipdfCommand)) {
            state.dvipdfCommand = directory + "dvipdfmx";
            services.settings.writeSettingString(keys::kSettings, keys::kDviPdf, state.dvipdfCommand);
        }
        state.bibtexCommand = directory + rules.bibtexNameFor(state.texCommand);
        state.indexCommand = directory + (rules.contains(state.texCommand, "platex") ? "mendex" : "makeindex");
        services.settings.writeSettingString(keys::kSettings, keys::kBib, state.bibtexCommand);
        services.settings.writeSettingString(keys::kSettings, keys::kMkIdx, state.indexCommand);
    }
    return 1;
}

int selectBibtex(BarState& state, Services& services) {
    return selectTool(state, services,
                      {FileChoice::Bibtex, &BarState::bibtexCommand, keys::kBib,
                       services.rules.defaultBibtexCommand(), &PlatformTexts::bibtexExplanation});
}

int selectDvipdf(BarState& state, Services& services) {
    return selectTool(state, services,
                      {FileChoice::Dvipdf, &BarState::dvipdfCommand, keys::kDviPdf,
                       services.rules.defaultDvipdfCommand(), &PlatformTexts::dvipdfExplanation});
}

int selectIndexTool(BarState& state, Services& services) {
    return selectTool(state, services,
                      {FileChoice::IndexTool, &BarState::indexCommand, keys::kMkIdx,
                       services.rules.defaultIndexCommand(), &PlatformTexts::indexExplanation});
}

void selectEditor(BarState& state, Services& services) {
    if (!canChoose(services, FileChoice::Editor)) return;
    std::optional<std::string> chosen = services.ui.chooseFile({FileKind::Editor, FileChoice::Editor});
    if (!chosen) return;
    state.editorPath = *chosen;
    services.settings.writeSettingString(keys::kEditor, keys::kEdit, state.editorPath);
}

}  // namespace kestro

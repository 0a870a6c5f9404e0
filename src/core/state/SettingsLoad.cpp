#include "state/SettingsLoad.h"

#include "settings/SettingsKeys.h"

namespace kestro {

namespace {

// Keys no dialog writes, so the user sets them in the file by hand; both
// loads take them, so an edit reaches a running bar when the settings panel
// closes. Absent, the compiler gets the stem alone and every re-run stays.
void loadRoadOptions(BarState& state, SettingsFile& settings) {
    state.texOptions = settings.readSettingString(keys::kSettings, keys::kTexOpt, "");
    state.rerunOnChange = settings.readSettingInt(keys::kSettings, keys::kRerunOnChange, 0);
}

}  // namespace

void loadPaperGroup(BarState& state, SettingsFile& settings) {
    state.paperSizeNo = 1;
    state.paperSizeSticky = 0;
    state.paperDialogNever = settings.readSettingInt(keys::kSettings, keys::kPaperSkipFromNowOn, 0);
    if (state.paperDialogNever != 0) {
        state.paperSizeSticky = 1;
        state.paperSizeNo = settings.readSettingInt(keys::kSettings, keys::kPdfSizeNo, 1);
    } else {
        settings.writeSettingInt(keys::kSettings, keys::kPaperSkipUntilRestart, 0);
        settings.writeSettingInt(keys::kSettings, keys::kPaperSkipFromNowOn, 0);
        settings.writeSettingInt(keys::kSettings, keys::kPdfSizeNo, 1);
    }
}

void loadToolGroup(BarState& state, SettingsFile& settings, const PlatformRules& rules) {
    state.editorPath = settings.readSettingString(keys::kEditor, keys::kEdit, rules.defaultEditorPath());
    state.texCommand = settings.readSettingString(keys::kSettings, keys::kTex, rules.defaultTexCommand());
    state.bibtexCommand = settings.readSettingString(keys::kSettings, keys::kBib, rules.defaultBibtexCommand());
    state.dvipdfCommand = settings.readSettingString(keys::kSettings, keys::kDviPdf, rules.defaultDvipdfCommand());
    state.indexCommand = settings.readSettingString(keys::kSettings, keys::kMkIdx, rules.defaultIndexCommand());
    state.indexOptions = settings.readSettingString(keys::kSettings, keys::kMkIdxOpt, keys::kDefaultIndexOptions);
    state.indexDialogNever = settings.readSettingInt(keys::kSettings, keys::kMkIdxNvr, 0);
    state.acrSetting = settings.readSettingInt(keys::kSettings, keys::kAcr, 0);
    loadRoadOptions(state, settings);
}

void reloadAfterSettingsPanel(BarState& state, SettingsFile& settings, const PlatformRules& rules) {
    state.editorPath = settings.readSettingString(keys::kEditor, keys::kEdit, rules.defaultEditorPath());
    state.texCommand = settings.readSettingString(keys::kSettings, keys::kTex, rules.defaultTexCommand());
    state.bibtexCommand = settings.readSettingString(keys::kSettings, keys::kBib, rules.defaultBibtexCommand());
    state.dvipdfCommand = settings.readSettingString(keys::kSettings, keys::kDviPdf, rules.defaultDvipdfCommand());
    state.paperDialogNever = settings.readSettingInt(keys::kSettings, keys::kPaperSkipFromNowOn, 0);
    state.paperSizeNo = settings.readSettingInt(keys::kSettings, keys::kPdfSizeNo, 1);
    state.indexCommand = settings.readSettingString(keys::kSettings, keys::kMkIdx, rules.defaultIndexCommand());
    // Unlike start-up, a missing key gives no options here.
    state.indexOptions = settings.readSettingString(keys::kSettings, keys::kMkIdxOpt, "");
    state.indexDialogNever = settings.readSettingInt(keys::kSettings, keys::kMkIdxNvr, 0);
    loadRoadOptions(state, settings);
}

void loadPanelState(BarState& state, SettingsFile& settings, const PlatformRules& rules) {
    state = BarState{};
    reloadAfterSettingsPanel(state, settings, rules);
}

}  // namespace kestro

#include "dialogs/IndexOptionsDialog.h"

#include "settings/SettingsKeys.h"

namespace kestro {

IndexOptionsDialog::IndexOptionsDialog(SettingsFile& settings)
    : optionsText(settings.readSettingString(keys::kSettings, keys::kMkIdxOpt, "")),
      neverShow(settings.readSettingInt(keys::kSettings, keys::kMkIdxNvr, 0)) {}

void editIndexOptions(BarState& state, Services& services) {
    IndexOptionsDialog dialog(services.settings);
    if (!services.ui.runIndexOptionsDialog(dialog)) return;
    state.indexOptions = dialog.optionsText;
    state.indexDialogNever = dialog.neverShow;
    services.settings.writeSettingString(keys::kSettings, keys::kMkIdxOpt, state.indexOptions);
    services.settings.writeSettingInt(keys::kSettings, keys::kMkIdxNvr, state.indexDialogNever);
}

}  // namespace kestro

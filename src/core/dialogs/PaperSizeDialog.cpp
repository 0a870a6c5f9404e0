#include "dialogs/PaperSizeDialog.h"

#include "settings/SettingsKeys.h"

namespace kestro {

PaperSizeDialog::PaperSizeDialog(SettingsFile& settings)
    : skipUntilRestart(settings.readSettingInt(keys::kSettings, keys::kPaperSkipUntilRestart, 0)),
      skipFromNowOn(settings.readSettingInt(keys::kSettings, keys::kPaperSkipFromNowOn, 0)),
      sizeNo(settings.readSettingInt(keys::kSettings, keys::kPdfSizeNo, 1)) {}

int PaperSizeDialog::checkedPosition() const {
    return sizeNo >= 0 && sizeNo < static_cast<int>(kChoices.size()) ? sizeNo : -1;
}

void PaperSizeDialog::clickSkipUntilRestart() {
    if (skipUntilRestart != 0) {
        skipUntilRestart = 0;
        return;
    }
    skipUntilRestart = 1;
    skipFromNowOn = 0;
}

void PaperSizeDialog::clickSkipFromNowOn() {
    if (skipFromNowOn != 0) {
        skipFromNowOn = 0;
        return;
    }
    skipFromNowOn = 1;
    skipUntilRestart = 0;
}

int choosePaperSize(BarState& state, Services& services) {
    PaperSizeDialog dialog(services.settings);
    if (!services.ui.runPaperSizeDialog(dialog)) return 0;

    state.paperSizeNo = dialog.sizeNo;
    state.paperSizeSticky = dialog.skipUntilRestart;
    state.paperDialogNever = dialog.skipFromNowOn;
    services.settings.writeSettingInt(keys::kSettings, keys::kPaperSkipUntilRestart, state.paperSizeSticky);
    services.settings.writeSettingInt(keys::kSettings, keys::kPaperSkipFromNowOn, state.paperDialogNever);
    services.settings.writeSettingInt(keys::kSettings, keys::kPdfSizeNo, state.paperSizeNo);
    // Either box settles the size for the rest of this run.
    state.paperSizeSticky = state.paperSizeSticky + state.paperDialogNever;
    return 1;
}

}  // namespace kestro

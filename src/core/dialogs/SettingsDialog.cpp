#include "dialogs/SettingsDialog.h"

#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/ToolSelection.h"
#include "state/SettingsLoad.h"

namespace kestro {

SettingsDialog::SettingsDialog(Services& services) : services_(services) {
    loadPanelState(panelState, services.settings, services.rules);
}

void SettingsDialog::press(int controlId) {
    switch (controlId) {
    case kEditor: selectEditor(panelState, services_); break;
    case kTex: changeTexCompiler(panelState, services_); break;
    case kBibtex: selectBibtex(panelState, services_); break;
    case kDvipdf: selectDvipdf(panelState, services_); break;
    case kIndexTool: selectIndexTool(panelState, services_); break;
    case kIndexOptions: editIndexOptions(panelState, services_); break;
    case kPaperSize: choosePaperSize(panelState, services_); break;
    default: break;  // Close, or no button of the panel
    }
}

void openSettingsPanel(BarState& bar, Services& services) {
    {
        SettingsDialog dialog(services);
        services.ui.runSettingsDialog(dialog);
    }
    // However the panel closed, what its buttons stored reaches the bar.
    reloadAfterSettingsPanel(bar, services.settings, services.rules);
}

}  // namespace kestro

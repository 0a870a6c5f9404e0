// The settings panel: a column of buttons, each running one configuration
// operation on the panel's own bar state.
#pragma once

#include <array>

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

struct PanelButton {
    int controlId;
    const char* caption;
};

class SettingsDialog {
public:
    static constexpr int kClose = 1;
    static constexpr int kEditor = 1004;
    static constexpr int kTex = 32772;
    static constexpr int kBibtex = 32774;
    static constexpr int kDvipdf = 32775;
    static constexpr int kIndexTool = 32778;
    static constexpr int kIndexOptions = 32777;
    static constexpr int kPaperSize = 32776;

    // In template order, which is also the tab order.
    static const std::array<PanelButton, 8> kButtons;

    // The panel's state starts from the settings file, so a choice made
    // earlier (a converter path, say) is seen by the operations.
    explicit SettingsDialog(Services& services);

    // A button other than Close was pressed.
    void press(int controlId);

    BarState panelState;

private:
    Services& services_;
};

// The settings button: runs the panel, then re-reads the keys it can change.
void openSettingsPanel(BarState& bar, Services& services);

}  // namespace kestro

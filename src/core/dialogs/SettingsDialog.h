// The settings panel: a column of buttons, each running one configuration
// operation on the panel's own bar state.
#pragma once

#include <array>

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

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

    // The buttons that run an operation (all but Close).
    static constexpr std::array<int, 7> kOperations = {kEditor, kTex, kBibtex, kDvipdf,
                                                       kIndexTool, kIndexOptions, kPaperSize};

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

// The index options dialog's model, and editing the options with it.
#pragma once

#include <string>

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

class IndexOptionsDialog {
public:
    static constexpr int kOptionsEdit = 1121;
    static constexpr int kNeverShowBox = 1012;

    // Loads the text and the flag from the settings file (not from the bar).
    explicit IndexOptionsDialog(SettingsFile& settings);

    // OK: the edit box's whole text as typed, and the check box.
    void accept(const std::string& text, bool neverShowChecked) {
        optionsText = text;
        neverShow = neverShowChecked ? 1 : 0;
    }

    std::string optionsText;
    int neverShow = 0;
};

// On OK sets and stores the options and the flag; on Cancel nothing changes.
void editIndexOptions(BarState& state, Services& services);

}  // namespace kestro

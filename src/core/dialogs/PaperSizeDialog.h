// The paper size dialog's model, and choosing the paper size with it.
#pragma once

#include <array>

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

struct PaperChoice {
    int controlId;
    const char* caption;
};

class PaperSizeDialog {
public:
    // The radio buttons in their group order: the position is the paper
    // size number (Landscape, 1055, sits at position 4).
    static constexpr std::array<PaperChoice, 14> kChoices = {{
        {1042, "A3"}, {1043, "A4"}, {1044, "A5"}, {1045, "A6"}, {1055, "Landscape"},
        {1046, "B3"}, {1047, "B4"}, {1048, "B5"}, {1049, "B6"}, {1050, "B5var"},
        {1051, "Letter"}, {1052, "Legal"}, {1053, "Ledger"}, {1054, "Tabloid"},
    }};
    static constexpr int kSkipUntilRestartBox = 1012;
    static constexpr int kSkipFromNowOnBox = 1013;

    // Loads the three fields from the settings file.
    explicit PaperSizeDialog(SettingsFile& settings);

    // What the window shows when it opens.
    int checkedPosition() const;  // sizeNo, or -1 outside 0 to 13
    bool skipUntilRestartChecked() const { return skipUntilRestart != 0; }
    bool skipFromNowOnChecked() const { return skipFromNowOn != 0; }

    // The user clicked a check box (it toggles its own mark). Checking one
    // clears the other; neither click ever sets the other.
    void clickSkipUntilRestart();
    void clickSkipFromNowOn();

    // OK: the position of the checked radio button, -1 when none.
    void accept(int checkedRadioPosition) { sizeNo = checkedRadioPosition; }

    int skipUntilRestart = 0;
    int skipFromNowOn = 0;
    int sizeNo = 1;
};

// Runs the dialog; on OK applies the choice to `state`, stores the three
// keys and returns 1. 0 when cancelled: nothing changes.
int choosePaperSize(BarState& state, Services& services);

}  // namespace kestro

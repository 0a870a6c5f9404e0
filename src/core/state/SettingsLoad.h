// Loading the bar's fields from Kestro.ini: at start-up, and again after the
// settings panel has closed.
#pragma once

#include "state/BarState.h"
#include "settings/SettingsFile.h"
#include "text/PlatformRules.h"

namespace kestro {

// Start-up, before the history: the paper size is settled only when the
// user chose "from now on"; otherwise the three paper keys are reset, so a
// choice "until the next start" ends here.
void loadPaperGroup(BarState& state, SettingsFile& settings);

// Start-up, after the history: editor, tools, index options, "Acr", then
// the compiler's options "TeXOpt" and "RerunOnChange".
void loadToolGroup(BarState& state, SettingsFile& settings, const PlatformRules& rules);

// After the settings panel: the nine keys the panel can change, in order,
// then "TeXOpt" and "RerunOnChange". Leaves paperSizeSticky, acrSetting,
// the document and the history alone.
void reloadAfterSettingsPanel(BarState& state, SettingsFile& settings, const PlatformRules& rules);

// The settings panel's own state when it opens: the same nine keys and
// defaults as the re-read, so the panel's operations see what is stored
// (a converter path chosen earlier, say); everything else starts empty.
void loadPanelState(BarState& state, SettingsFile& settings, const PlatformRules& rules);

}  // namespace kestro

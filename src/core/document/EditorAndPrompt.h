// The Edit button and the command prompt button.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

void openInEditor(BarState& state, Services& services);
void openCommandPrompt(BarState& state, Services& services);

}  // namespace kestro

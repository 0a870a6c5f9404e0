// Pointing the bar at a particular tool executable, or back to the bare
// default name. Each works on the bar state it is given and stores the
// choice at once.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

void changeTexCompiler(BarState& state, Services& services);
// 1 when a file was chosen, 0 when the dialog was cancelled.
int selectTexCompiler(BarState& state, Services& services);
// 1 when chosen, 0 when returned to the default.
int selectBibtex(BarState& state, Services& services);
int selectDvipdf(BarState& state, Services& services);
int selectIndexTool(BarState& state, Services& services);
void selectEditor(BarState& state, Services& services);

}  // namespace kestro

// The TeX compile with its log analysis, and the bibliography and index
// steps it calls.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// 1 on success, 0 on failure (the callers decide what to show on 0).
int compileDocument(BarState& state, Services& services);

// 1 when the tool ran and exited 0 (the compiler is to run again), else 0.
int runBibliography(BarState& state, Services& services);
int runIndex(BarState& state, Services& services);

}  // namespace kestro

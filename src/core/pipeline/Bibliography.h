// The bibliography step of the compile.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// Runs the bibliography tool on the document: 1 when it ran and exited 0
// (the compiler is to run again), else 0.
int runBibliography(BarState& state, Services& services);

}  // namespace kestro

// The index step of the compile.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// Runs the index tool on the document, after the index options dialog: 1
// when it ran and exited 0 (the compiler is to run again), else 0.
int runIndex(BarState& state, Services& services);

}  // namespace kestro

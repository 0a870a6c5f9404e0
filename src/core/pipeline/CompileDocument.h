// The TeX compile with its log analysis.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// 1 on success, 0 on failure (the callers decide what to show on 0).
int compileDocument(BarState& state, Services& services);

}  // namespace kestro

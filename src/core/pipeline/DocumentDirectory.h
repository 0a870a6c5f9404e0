// Entering the document's directory before a tool runs.
#pragma once

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// Makes documentDir the current directory. When a non-empty documentDir
// cannot be entered (deleted, unmounted) no tool may run elsewhere on a file
// of the same name: throws FileError (not found) for that directory, which
// ends the operation. An empty documentDir leaves the directory as it is.
void enterDocumentDirectory(const BarState& state, Services& services);

}  // namespace kestro

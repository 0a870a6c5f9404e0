// The filter of a file dialog as Qt writes it, from the core's
// '|'-separated pairs ("TeX file (*.tex)|*.tex||").
#pragma once

#include <QString>

#include "seam/UserInterface.h"

namespace kestro {

// Each pair becomes one Qt filter line. A pair for Windows programs
// ("*.exe") shows every file instead: on Linux any file with an execute bit
// is a program, whatever its name.
QString qtFileDialogFilter(const std::string& filter);

}  // namespace kestro

// The files the road leaves beside the document, for a clean-up.
#pragma once

#include <string>
#include <vector>

#include "text/PlatformRules.h"

namespace kestro {

// Every file named from the document's stem that the compiler (also with
// options such as -synctex=1 or -recorder, and packages such as hyperref or
// beamer), the bibliography and index tools write beside `documentPath`,
// as full paths; the PDF too with `withPdf`. Never the document itself,
// even when its own extension is one of theirs, and never a database
// (.bib) or an index style (.ist): those are the writer's.
std::vector<std::string> filesTheRoadWrites(const PlatformRules& rules, const std::string& documentPath, bool withPdf);

}  // namespace kestro

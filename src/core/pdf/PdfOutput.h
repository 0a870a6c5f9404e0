// DVI-to-PDF conversion, PDF viewing, the TeX button and the one-click road.
#pragma once

#include <string>

#include "state/BarState.h"
#include "state/Services.h"

namespace kestro {

// The converter's paper option for a paper size number under a platform's
// rules; the empty text for A4 and for any number outside 0 to 13.
std::string paperOptionText(const PlatformRules& rules, int paperSizeNo);

// 1 when the converter exited with code 0 in this call, else 0.
int convertDviToPdf(BarState& state, Services& services);

void openPdf(BarState& state, Services& services);
void compileAndConvert(BarState& state, Services& services);
void buildAndShowPdf(BarState& state, Services& services);

}  // namespace kestro

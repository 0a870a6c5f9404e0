#include <array>

#include "pdf/PdfOutput.h"

namespace kestro {

namespace {

// Indexed by the paper size dialog's radio positions. A4 is the
// converter's own default and needs no option. The B5 text has always been
// written this way on Windows; the converter reads the same words from it.
using PaperOptions = std::array<const char*, 14>;

constexpr PaperOptions kWindowsOptions = {
    " -p a3 ",     "",           " -p a5 ",     " -p a6 ",      " -l ",
    " -p b3 ",     " -p b4 ",    " -p  b5",     " -p b6 ",      " -p b5var ",
    " -p letter ", " -p legal ", " -p ledger ", " -p tabloid ",
};

// TeX Live's dvipdfmx takes b3 to b6 for the ISO sizes and knows no b5var,
// where a Japanese user means the JIS sizes: those go by their dimensions.
constexpr PaperOptions kLinuxOptions = {
    " -p a3 ",          "",                 " -p a5 ",          " -p a6 ",          " -l ",
    " -p 364mm,515mm ", " -p 257mm,364mm ", " -p 182mm,257mm ", " -p 128mm,182mm ", " -p 182mm,230mm ",
    " -p letter ",      " -p legal ",       " -p ledger ",      " -p tabloid ",
};

}  // namespace

std::string paperOptionText(const PlatformRules& rules, int paperSizeNo) {
    const PaperOptions& options = rules.isWindows() ? kWindowsOptions : kLinuxOptions;
    // A hand-edited number, negative ones included, means A4.
    const unsigned index = static_cast<unsigned>(paperSizeNo);
    return index < options.size() ? options[index] : "";
}

}  // namespace kestro

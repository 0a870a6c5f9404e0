#include <array>

#include "pdf/PdfOutput.h"

namespace kestro {

std::string paperOptionText(int paperSizeNo) {
    // Indexed by the paper size dialog's radio positions. A4 is the
    // converter's own default and needs no option. The B5 text has always
    // been written this way; the converter reads the same words from it.
    static constexpr std::array<const char*, 14> kOptions = {
        " -p a3 ",     "",           " -p a5 ",     " -p a6 ",      " -l ",
        " -p b3 ",     " -p b4 ",    " -p  b5",     " -p b6 ",      " -p b5var ",
        " -p letter ", " -p legal ", " -p ledger ", " -p tabloid ",
    };
    // A hand-edited number, negative ones included, means A4.
    const unsigned index = static_cast<unsigned>(paperSizeNo);
    return index < kOptions.size() ? kOptions[index] : "";
}

}  // namespace kestro

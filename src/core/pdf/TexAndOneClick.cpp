// The TeX button's road (compile, then convert) and the one-click road
// (compile, convert, open the PDF), each stopping at its first failure.
#include "pipeline/CompileDocument.h"
#include "pdf/PdfOutput.h"

namespace kestro {

void compileAndConvert(BarState& state, Services& services) {
    if (compileDocument(state, services) == 0) return;
    convertDviToPdf(state, services);
}

void buildAndShowPdf(BarState& state, Services& services) {
    if (compileDocument(state, services) == 0) {
        showBarMessage(services,
                       "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。");
        return;
    }
    if (convertDviToPdf(state, services) == 0) {
        showBarMessage(services,
                       "エラーがあります。dvi から pdf が作れません。\n 「設定」で「dvipdfmx の選択」を変えて下さい。");
        return;
    }
    openPdf(state, services);
}

}  // namespace kestro

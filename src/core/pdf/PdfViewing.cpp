#include <string>

#include "build/CompileDocument.h"
#include "pdf/PdfOutput.h"

namespace kestro {

void openPdf(BarState& state, Services& services) {
    const std::string pdfPath = state.documentDir + state.documentStem + ".pdf";
    int converted = 0;
    if (!services.files.exists(pdfPath)) converted = convertDviToPdf(state, services);
    // A failed conversion has already said why there is no PDF.
    if (!services.files.exists(pdfPath) && converted != 1) return;

    if (services.view) services.view->setWaitCursor(true);
    const bool opened = services.desktop.openInViewer(state.documentStem + ".pdf", state.documentDir);
    services.road.noteViewer(opened);
    if (!opened) showBarMessage(services, "PDF file が開けません！");
    if (services.view) services.view->setWaitCursor(false);
}

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

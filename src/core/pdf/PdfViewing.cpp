#include <string>

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

}  // namespace kestro

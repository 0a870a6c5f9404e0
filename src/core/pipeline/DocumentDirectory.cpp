#include "pipeline/DocumentDirectory.h"

#include "seam/FileError.h"

namespace kestro {

void enterDocumentDirectory(const BarState& state, Services& services) {
    if (state.documentDir.empty()) return;
    if (!services.files.setCurrentDirectory(state.documentDir)) {
        throw FileError(FileErrorCause::NotFound, state.documentDir);
    }
}

}  // namespace kestro

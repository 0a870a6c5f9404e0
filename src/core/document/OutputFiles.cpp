#include "document/OutputFiles.h"

#include <array>

#include "document/DocumentPath.h"

namespace kestro {

namespace {

// SyncTeX writes "(busy)" names while the compiler runs, so a stopped run
// leaves them behind; -synctex=-1 writes the file uncompressed.
constexpr std::array<const char*, 22> kWrittenBesideDocument = {
    ".aux", ".log", ".toc", ".lof", ".lot", ".out", ".dvi", ".idx", ".ind", ".ilg", ".bbl",
    ".blg", ".fls", ".synctex.gz", ".synctex", ".synctex.gz(busy)", ".synctex(busy)",
    ".nav", ".snm", ".vrb", ".bcf", ".run.xml",
};

}  // namespace

std::vector<std::string> filesTheRoadWrites(const PlatformRules& rules, const std::string& documentPath, bool withPdf) {
    const DocumentParts parts = splitDocumentPath(rules, documentPath);
    std::vector<std::string> files;
    for (const char* extension : kWrittenBesideDocument) files.push_back(parts.directory + parts.stem + extension);
    if (withPdf) files.push_back(parts.directory + parts.stem + ".pdf");
    std::erase(files, documentPath);
    return files;
}

}  // namespace kestro

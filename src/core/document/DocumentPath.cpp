#include "document/DocumentPath.h"

namespace kestro {

namespace {

// The Windows bar keeps each part in a 256-byte buffer.
constexpr std::size_t kWindowsPartBytes = 255;

}  // namespace

DocumentParts splitDocumentPath(const PlatformRules& rules, std::string_view path) {
    const CodePage cp = rules.codePage;

    std::size_t driveLength = 0;
    if (rules.isWindows() && path.size() >= 2 && path[1] == ':' && characterLength(cp, path, 0) == 1) {
        driveLength = 2;
    }

    const std::size_t lastSeparator = findLastOf(cp, path, rules.pathSeparators());
    const std::size_t nameStart =
        lastSeparator == std::string_view::npos ? driveLength : lastSeparator + 1;

    const std::string_view directory = path.substr(0, nameStart);
    const std::string_view name = path.substr(nameStart);
    const std::size_t lastDot = findLastOf(cp, name, ".");
    const std::string_view stem = lastDot == std::string_view::npos ? name : name.substr(0, lastDot);
    const std::string_view extension =
        lastDot == std::string_view::npos ? std::string_view{} : name.substr(lastDot);

    if (!rules.isWindows()) {
        return DocumentParts{std::string(stem), std::string(directory), std::string(extension)};
    }
    return DocumentParts{cutToBytes(cp, stem, kWindowsPartBytes),
                         cutToBytes(cp, directory, kWindowsPartBytes),
                         cutToBytes(cp, extension, kWindowsPartBytes)};
}

}  // namespace kestro

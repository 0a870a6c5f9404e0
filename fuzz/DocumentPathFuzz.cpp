// The document path split on arbitrary paths, by the Windows rules (CP932,
// drive, both separators, parts cut to 255 bytes, never inside a
// character) and the Linux ones (UTF-8, "/" only, nothing cut).
#include "FuzzCheck.h"
#include "document/DocumentPath.h"

using namespace kestro;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const PlatformRules rules = in.ConsumeBool() ? PlatformRules::windows() : PlatformRules::posix();
    const CodePage cp = rules.codePage;
    const std::string path = in.ConsumeRemainingBytesAsString();
    const DocumentParts parts = splitDocumentPath(rules, path);

    // The name holds no separator; the extension is empty or runs from the
    // name's only dot that starts a character; the directory starts the path.
    FUZZ_CHECK(findFirstOf(cp, parts.stem + parts.extension, rules.pathSeparators()) == std::string::npos);
    FUZZ_CHECK(parts.extension.empty() || (parts.extension[0] == '.' && findLastOf(cp, parts.extension, ".") == 0));
    FUZZ_CHECK(path.starts_with(parts.directory));
    if (!rules.isWindows() || path.size() <= 255) {
        FUZZ_CHECK(parts.directory + parts.stem + parts.extension == path);
        const std::size_t lastSeparator = findLastOf(cp, path, rules.pathSeparators());
        FUZZ_CHECK(lastSeparator != std::string::npos ? parts.directory.size() == lastSeparator + 1
                                                      : parts.directory.empty() || parts.directory == path.substr(0, 2));
    }
    for (const std::string* part : {&parts.stem, &parts.directory, &parts.extension}) {
        if (rules.isWindows()) FUZZ_CHECK(part->size() <= 255 && cutToBytes(cp, *part, 255) == *part);
    }
    return 0;
}

// The document path split on arbitrary paths, by the Windows rules (CP932,
// drive, both separators, parts cut to 255 bytes) and the Linux ones (UTF-8,
// "/" only, nothing cut).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>

#include "FuzzCheck.h"
#include "document/DocumentPath.h"

using namespace kestro;

namespace {

constexpr std::size_t kWindowsPartBytes = 255;

bool isPrefix(std::string_view prefix, std::string_view text) {
    return text.substr(0, prefix.size()) == prefix;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    const PlatformRules rules = in.ConsumeBool() ? PlatformRules::windows() : PlatformRules::posix();
    const CodePage cp = rules.codePage;
    const std::string path = in.ConsumeRemainingBytesAsString();

    const DocumentParts parts = splitDocumentPath(rules, path);
    const std::string name = parts.stem + parts.extension;

    // The file name holds no separator, and the extension is empty or runs
    // from the name's only dot that starts a character.
    FUZZ_CHECK(findFirstOf(cp, parts.stem, rules.pathSeparators()) == std::string::npos);
    FUZZ_CHECK(findFirstOf(cp, parts.extension, rules.pathSeparators()) == std::string::npos);
    if (!parts.extension.empty()) {
        FUZZ_CHECK(parts.extension.front() == '.');
        FUZZ_CHECK(findLastOf(cp, parts.extension, ".") == 0);
    }
    FUZZ_CHECK(isPrefix(parts.directory, path));

    if (!rules.isWindows()) {
        // Nothing is cut on Linux: the parts make up the path again.
        FUZZ_CHECK(parts.directory + parts.stem + parts.extension == path);
        FUZZ_CHECK(parts.directory.empty() || parts.directory.back() == '/');
        FUZZ_CHECK(parts.directory == rules.directoryOf(path));
        return 0;
    }

    for (const std::string* part : {&parts.stem, &parts.directory, &parts.extension}) {
        FUZZ_CHECK(part->size() <= kWindowsPartBytes);
        // Never cut inside a character.
        FUZZ_CHECK(cutToBytes(cp, *part, kWindowsPartBytes) == *part);
    }
    // A short path is cut nowhere: its parts make it up again, the
    // directory running to its last separator, or only a drive before the name.
    if (path.size() <= kWindowsPartBytes) {
        FUZZ_CHECK(parts.directory + name == path);
        const std::size_t lastSeparator = findLastOf(cp, path, "\\/");
        FUZZ_CHECK(lastSeparator != std::string::npos ? parts.directory.size() == lastSeparator + 1
                                                      : parts.directory.empty() || parts.directory == path.substr(0, 2));
    }
    return 0;
}

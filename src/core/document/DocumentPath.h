// Splitting the current document's path into the parts the tools need.
#pragma once

#include <string>
#include <string_view>

#include "text/PlatformRules.h"

namespace kestro {

struct DocumentParts {
    std::string stem;       // file name without extension: paper
    std::string directory;  // drive and directory with final separator: C:\work\ or /home/u/work/
    std::string extension;  // from the file name's last dot on: .tex (empty when none)
};

// Windows: when the second character is a colon the first two are the drive;
// the directory runs to the last backslash or slash; each part is cut to 255
// bytes, never inside a character. Linux: only "/" separates, there is no
// drive, and nothing is cut. Both scan the path character by character, so
// a trail byte is never taken for a separator or a dot.
DocumentParts splitDocumentPath(const PlatformRules& rules, std::string_view path);

}  // namespace kestro

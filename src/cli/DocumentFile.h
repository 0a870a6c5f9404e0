// The document kestro-build is asked to build, checked before any tool runs.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <variant>

#include "seam/FileSystem.h"

namespace kestro::cli {

// The document as an absolute path (relative to `cwd` unless absolute), or,
// when there is none to build, the exit status with its message written: a
// name that does not exist or is longer than the system allows, or, after
// following links, anything but a regular file (a directory, a named pipe
// that would hang the compiler, a device, a link to nothing).
std::variant<std::string, int> documentToBuild(const std::string& named, FileSystem& files,
                                               const std::optional<std::string>& cwd, const std::string& appName,
                                               std::ostream& messages);

}  // namespace kestro::cli

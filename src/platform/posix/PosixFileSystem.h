// The file system on Linux.
#pragma once

#include <string>
#include <vector>

#include "build/FileError.h"
#include "seam/FileSystem.h"

namespace kestro {

class PosixFileSystem : public FileSystem {
public:
    // Any entry counts, a symbolic link whose target is gone included.
    bool exists(const std::string& path) override;
    // st_mtim at its full nanosecond resolution, in UTC; a symbolic link is
    // followed, a dangling one yields the link's own time.
    std::optional<FileTime> modificationTime(const std::string& path) override;
    // Reads up to the end of the file, not just the size seen at open, so a
    // log that a tool is still writing, or a file of /proc that reports no
    // size, comes back whole. A directory reads as access denied.
    std::string readWholeFile(const std::string& path) override;
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<std::string> currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
};

// The cause shown to the user for an errno value of open or read.
FileErrorCause fileErrorCauseOf(int errorNumber);

}  // namespace kestro

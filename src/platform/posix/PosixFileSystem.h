// The file system on Linux.
#pragma once

#include <string>
#include <vector>

#include "seam/FileError.h"
#include "seam/FileSystem.h"

namespace kestro {

class PosixFileSystem : public FileSystem {
public:
    // Any entry counts, a symbolic link whose target is gone included.
    bool exists(const std::string& path) override;
    // st_mtim at its full nanosecond resolution, in UTC; a symbolic link is
    // followed, a dangling one yields the link's own time.
    std::optional<FileTime> modificationTime(const std::string& path) override;
    // Reads the length the file has when it is opened, so a file that keeps
    // growing cannot fill the memory. Only a regular file is read: a
    // directory is access denied, anything else (a device, a named pipe, a
    // socket, also behind a symbolic link) a file error of its own, so a
    // read never blocks and never goes on without end.
    std::string readWholeFile(const std::string& path) override;
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<std::string> currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
};

// The cause shown to the user for an errno value of open or read.
FileErrorCause fileErrorCauseOf(int errorNumber);

}  // namespace kestro

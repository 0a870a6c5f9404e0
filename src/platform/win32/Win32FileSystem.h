// Files and the current directory through the Win32 file functions.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "seam/FileError.h"
#include "seam/FileSystem.h"

namespace kestro {

class Win32FileSystem : public FileSystem {
public:
    // An entry of exactly this name: a name with wildcards never matches.
    bool exists(const std::string& path) override;
    // The last-write time at its full resolution (100 ns), in nanoseconds
    // since 1970.
    std::optional<FileTime> modificationTime(const std::string& path) override;
    // Opened so that a tool still writing the file, or reading it, is not
    // disturbed; reads the length the file has when it is opened. A handle
    // that is not a disk file (a device such as NUL or CON, a pipe) is
    // refused, so a read never blocks and never goes on without end.
    std::string readWholeFile(const std::string& path) override;
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<std::string> currentDirectory() override;
    bool setCurrentDirectory(const std::string& path) override;
};

// What a Win32 error code means for a file that could not be opened or read.
FileErrorCause fileErrorCauseFor(std::uint32_t win32Error);

// A FILETIME value (100 ns since 1601) as a FileTime.
FileTime fileTimeFromWin32(std::uint32_t low, std::uint32_t high);

}  // namespace kestro

// What the core needs of the file system.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace kestro {

// A file's last-modification time at the file system's full resolution, as a
// count of nanoseconds since an arbitrary fixed origin. Only compared with
// other values from the same platform: newer means strictly greater.
using FileTime = std::int64_t;

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // True when a file-system entry of exactly this name exists.
    virtual bool exists(const std::string& path) = 0;
    // The last-modification time, or nothing when there is no such entry.
    virtual std::optional<FileTime> modificationTime(const std::string& path) = 0;
    // The whole file as bytes, read while other processes may read and write
    // it. Throws FileError (seam/FileError.h) when it cannot be opened or
    // read, MemoryError when the buffer cannot be had.
    virtual std::string readWholeFile(const std::string& path) = 0;
    // The names of the directories in `directory` (symbolic links to
    // directories included, "." and ".." not), in no particular order;
    // empty when it cannot be read.
    virtual std::vector<std::string> subdirectories(const std::string& directory) = 0;
    // The process's current directory, or nothing when it cannot be read.
    virtual std::optional<std::string> currentDirectory() = 0;
    // Makes a directory current; false when that failed.
    virtual bool setCurrentDirectory(const std::string& path) = 0;
};

}  // namespace kestro

// Errors of whole-file reads. They abandon the whole button operation and
// reach the bar's command dispatcher, which tells the user.
#pragma once

#include <exception>
#include <string>

#include "seam/FileSystem.h"

namespace kestro {

enum class FileErrorCause {
    NotFound,
    InvalidPath,
    TooManyOpenFiles,
    AccessDenied,
    InvalidHandle,
    HardwareIo,
    SharingViolation,
    LockViolation,
    Other,
};

class FileError : public std::exception {
public:
    FileError(FileErrorCause cause, std::string fileName)
        : cause_(cause), fileName_(std::move(fileName)) {}
    FileErrorCause cause() const { return cause_; }
    // The name as it was opened: a bare name for the log, a full path else.
    const std::string& fileName() const { return fileName_; }
    const char* what() const noexcept override { return "file error"; }

private:
    FileErrorCause cause_;
    std::string fileName_;
};

class MemoryError : public std::exception {
public:
    const char* what() const noexcept override { return "memory error"; }
};

// The box text for a file error, with the file name in place of %1
// ("無題のﾌｧｲﾙ" when the name is empty).
std::string fileErrorText(const FileError& error);
// The box text for a memory error.
std::string memoryErrorText();

// The whole file as text: it ends at the file's first zero byte, if any.
// Throws FileError or MemoryError.
std::string readTextFile(FileSystem& files, const std::string& path);

}  // namespace kestro

#include "PosixFileSystem.h"

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#include "FileDescriptor.h"

namespace kestro {

namespace {

FileTime nanosecondsOf(const struct stat& status) {
    return static_cast<FileTime>(status.st_mtim.tv_sec) * 1'000'000'000 +
           static_cast<FileTime>(status.st_mtim.tv_nsec);
}

[[noreturn]] void throwFileError(int errorNumber, const std::string& path) {
    throw FileError(fileErrorCauseOf(errorNumber), path);
}

// Reads the `size` bytes the file had when it was opened; a file that
// shrank meanwhile gives what is left.
std::string readLength(int fd, std::size_t size, const std::string& path) {
    std::string text(size, '\0');
    std::size_t used = 0;
    while (used < size) {
        const ssize_t got = ::read(fd, text.data() + used, size - used);
        if (got < 0) {
            if (errno == EINTR) continue;
            throwFileError(errno, path);
        }
        if (got == 0) break;
        used += static_cast<std::size_t>(got);
    }
    text.resize(used);
    return text;
}

// Only a regular file has a length to read: a device may never end
// (/dev/zero) or wait for input (/dev/tty), a named pipe or a socket too.
void refuseIfNotRegular(const struct stat& status, const std::string& path) {
    if (S_ISDIR(status.st_mode)) throw FileError(FileErrorCause::AccessDenied, path);
    if (!S_ISREG(status.st_mode)) throw FileError(FileErrorCause::Other, path);
}

}  // namespace

FileErrorCause fileErrorCauseOf(int errorNumber) {
    switch (errorNumber) {
    case ENOENT:
        return FileErrorCause::NotFound;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return FileErrorCause::InvalidPath;
    case EMFILE:
    case ENFILE:
        return FileErrorCause::TooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return FileErrorCause::AccessDenied;
    case EBADF:
        return FileErrorCause::InvalidHandle;
    case EIO:
        return FileErrorCause::HardwareIo;
    case EBUSY:
    case ETXTBSY:
        return FileErrorCause::SharingViolation;
    case EAGAIN:
    case ENOLCK:
        return FileErrorCause::LockViolation;
    default:
        return FileErrorCause::Other;
    }
}

bool PosixFileSystem::exists(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) == 0;
}

std::optional<FileTime> PosixFileSystem::modificationTime(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0 || ::lstat(path.c_str(), &status) == 0) {
        return nanosecondsOf(status);
    }
    return std::nullopt;
}

std::string PosixFileSystem::readWholeFile(const std::string& path) {
    // Looked at before it is opened, since opening a device can already do
    // something; O_NONBLOCK and O_NOCTTY cover one swapped in meanwhile.
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) throwFileError(errno, path);
    refuseIfNotRegular(status, path);
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (file.get() < 0) throwFileError(errno, path);
    if (::fstat(file.get(), &status) != 0) throwFileError(errno, path);
    refuseIfNotRegular(status, path);

    try {
        return readLength(file.get(), static_cast<std::size_t>(status.st_size), path);
    } catch (const std::bad_alloc&) {
        throw MemoryError();
    } catch (const std::length_error&) {
        throw MemoryError();
    }
}

std::vector<std::string> PosixFileSystem::subdirectories(const std::string& directory) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(directory.c_str());
    if (dir == nullptr) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string name = entry->d_name;
        if (name == "." || name == "..") continue;
        // stat, not the entry's type: a link to a directory counts.
        struct stat status {};
        if (::fstatat(::dirfd(dir), name.c_str(), &status, 0) == 0 && S_ISDIR(status.st_mode)) {
            names.push_back(name);
        }
    }
    ::closedir(dir);
    return names;
}

std::optional<std::string> PosixFileSystem::currentDirectory() {
    std::string buffer(256, '\0');
    while (true) {
        if (::getcwd(buffer.data(), buffer.size()) != nullptr) {
            buffer.resize(std::char_traits<char>::length(buffer.c_str()));
            return buffer;
        }
        if (errno != ERANGE) return std::nullopt;
        buffer.resize(buffer.size() * 2);
    }
}

bool PosixFileSystem::setCurrentDirectory(const std::string& path) {
    return !path.empty() && ::chdir(path.c_str()) == 0;
}

}  // namespace kestro

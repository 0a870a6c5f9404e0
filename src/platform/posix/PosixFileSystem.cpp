#include "PosixFileSystem.h"

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace kestro {

namespace {

// Closes the descriptor on every way out of the read.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }

private:
    int fd_;
};

FileTime nanosecondsOf(const struct stat& status) {
    return static_cast<FileTime>(status.st_mtim.tv_sec) * 1'000'000'000 +
           static_cast<FileTime>(status.st_mtim.tv_nsec);
}

[[noreturn]] void throwFileError(int errorNumber, const std::string& path) {
    throw FileError(fileErrorCauseOf(errorNumber), path);
}

// Reads from fd to its end, starting with a buffer of `expected` bytes and
// growing it while the file goes on.
std::string readToEnd(int fd, std::size_t expected, const std::string& path) {
    constexpr std::size_t kMinimumChunk = 64 * 1024;
    std::string text(expected, '\0');
    std::size_t used = 0;
    while (true) {
        if (used == text.size()) text.resize(used + std::max(kMinimumChunk, used / 2));
        const ssize_t got = ::read(fd, text.data() + used, text.size() - used);
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
    // O_NONBLOCK keeps a named pipe without a writer from blocking the bar
    // in open; such a file is refused below.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (file.get() < 0) throwFileError(errno, path);

    struct stat status {};
    if (::fstat(file.get(), &status) != 0) throwFileError(errno, path);
    if (S_ISDIR(status.st_mode)) throw FileError(FileErrorCause::AccessDenied, path);
    if (S_ISFIFO(status.st_mode) || S_ISSOCK(status.st_mode)) throw FileError(FileErrorCause::Other, path);
    // Character devices must block as usual once open.
    ::fcntl(file.get(), F_SETFL, ::fcntl(file.get(), F_GETFL) & ~O_NONBLOCK);

    try {
        // One byte more than the size, so the read that finds the end needs
        // no second allocation when the file has not grown.
        const std::size_t expected = status.st_size > 0 ? static_cast<std::size_t>(status.st_size) + 1 : 0;
        return readToEnd(file.get(), expected, path);
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

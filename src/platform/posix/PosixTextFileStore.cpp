#include "PosixTextFileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdlib>
#include <string_view>

namespace kestro {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd = -1) : fd_(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() { reset(); }

    int get() const { return fd_; }
    bool valid() const { return fd_ >= 0; }
    // Closes now and tells whether the data made it: close can report a
    // failed write-back.
    bool close() {
        const int fd = fd_;
        fd_ = -1;
        return fd < 0 || ::close(fd) == 0 || errno == EINTR;
    }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_;
};

int openRetrying(const std::string& path, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::open(path.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

enum class ReadResult { Ok, Absent, Failed };

ReadResult readWhole(const std::string& path, std::string& data) {
    FileDescriptor fd(openRetrying(path, O_RDONLY));
    if (!fd.valid()) return errno == ENOENT ? ReadResult::Absent : ReadResult::Failed;
    data.clear();
    char buffer[64 * 1024];
    for (;;) {
        const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Failed;
        }
        if (n == 0) return ReadResult::Ok;
        data.append(buffer, static_cast<std::size_t>(n));
    }
}

bool writeWhole(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

std::string directoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A link to a settings file kept elsewhere stays a link: the file it names
// is the one replaced.
std::string followLinks(const std::string& path) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char resolved[PATH_MAX];
    if (::realpath(path.c_str(), resolved) == nullptr) return path;
    return resolved;
}

// Temporary files are "<file>.writing-" and eight letters or digits: a name
// that no one gives a file of their own, so the leftovers of a writer that
// was killed can be told apart and removed.
constexpr std::string_view kTemporaryMark = ".writing-";
constexpr std::size_t kTemporarySuffixLength = 8;
constexpr std::string_view kTemporaryDigits = "0123456789abcdefghijklmnopqrstuvwxyz";

std::string baseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Only the holder of the lock ever has a temporary file open, so under the
// lock every one found belongs to a writer that died before its rename.
void removeLeftoverTemporaries(const std::string& target) {
    const std::string directory = directoryOf(target);
    const std::string prefix = baseNameOf(target) + std::string(kTemporaryMark);
    DIR* listing = ::opendir(directory.c_str());
    if (listing == nullptr) return;
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view name(entry->d_name);
        if (name.size() != prefix.size() + kTemporarySuffixLength || name.substr(0, prefix.size()) != prefix) continue;
        if (name.find_first_not_of(kTemporaryDigits, prefix.size()) != std::string_view::npos) continue;
        ::unlink((directory + "/" + std::string(name)).c_str());
    }
    ::closedir(listing);
}

// O_EXCL on a fresh name rather than mkstemp, so that a new file gets the
// permissions the umask allows instead of mkstemp's 0600.
FileDescriptor createTemporary(const std::string& target, std::string& name) {
    static std::atomic<unsigned> counter{0};
    const auto clock = static_cast<unsigned long long>(
        std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long long mix =
            clock * 6364136223846793005ULL + (static_cast<unsigned long long>(::getpid()) << 20) +
            counter.fetch_add(1) * 1442695040888963407ULL;
        std::string suffix;
        for (unsigned long long v = mix >> 8; suffix.size() < kTemporarySuffixLength; v /= 36) {
            suffix += kTemporaryDigits[v % 36];
        }
        name = target + std::string(kTemporaryMark) + suffix;
        const int fd = openRetrying(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
        if (fd >= 0) return FileDescriptor(fd);
        if (errno != EEXIST) break;
    }
    name.clear();
    return FileDescriptor();
}

FileDescriptor openLockFile(const std::string& target) {
    const std::string lockPath = target + ".lock";
    int fd = openRetrying(lockPath, O_RDWR | O_CREAT | O_NOFOLLOW, 0666);
    // Another user's lock file may be read-only to us; flock works on any
    // open descriptor.
    if (fd < 0 && errno == EACCES) fd = openRetrying(lockPath, O_RDONLY | O_NOFOLLOW);
    return FileDescriptor(fd);
}

bool lockExclusive(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        // A file system without flock support still gets the atomic
        // replacement, only not the serialisation.
        if (errno != EINTR) return false;
    }
    return true;
}

// Writes content to a fresh file beside target and renames it over target.
bool replaceFile(const std::string& target, const std::string& content) {
    struct stat existing;
    const bool exists = ::stat(target.c_str(), &existing) == 0;

    std::string tempName;
    FileDescriptor temp = createTemporary(target, tempName);
    if (!temp.valid()) return false;

    bool ok = writeWhole(temp.get(), content);
    if (ok && exists) {
        // Best effort: only root or a member of the group can keep them.
        if (::fchown(temp.get(), existing.st_uid, existing.st_gid) != 0) {
            // The file then belongs to whoever wrote it, as any editor's save does.
        }
        ok = ::fchmod(temp.get(), existing.st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(temp.get()) == 0;
    ok = temp.close() && ok;
    ok = ok && ::rename(tempName.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tempName.c_str());
        return false;
    }
    // Make the rename itself durable; the new content is already safe.
    FileDescriptor directory(openRetrying(directoryOf(target), O_RDONLY | O_DIRECTORY));
    if (directory.valid()) ::fsync(directory.get());
    return true;
}

}  // namespace

std::optional<std::string> PosixTextFileStore::read(const std::string& path) {
    std::string data;
    if (readWhole(path, data) != ReadResult::Ok) return std::nullopt;
    return data;
}

bool PosixTextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    if (path.empty()) return false;
    const std::string target = followLinks(path);

    FileDescriptor lock = openLockFile(target);
    const bool locked = lock.valid();
    const bool exclusive = locked && lockExclusive(lock.get());

    std::string data;
    const ReadResult read = readWhole(target, data);
    if (read == ReadResult::Failed) return false;
    const std::optional<std::string> current =
        read == ReadResult::Ok ? std::optional<std::string>(std::move(data)) : std::nullopt;

    const std::optional<std::string> next = edit(current);
    if (!next) return true;  // nothing to change, so nothing to fail
    // Without the lock a write could lose another writer's change; where the
    // lock file cannot be made, the directory is not writable anyway.
    if (!locked) return false;
    if (exclusive) removeLeftoverTemporaries(target);
    return replaceFile(target, *next);
}

}  // namespace kestro

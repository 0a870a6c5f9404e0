#include "PosixTextFileStore.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <deque>
#include <exception>
#include <string_view>
#include <utility>

#include "FileDescriptor.h"

namespace kestro {

namespace {

FileDescriptor openAt(int directory, const std::string& name, int flags, mode_t mode = 0) {
    int fd;
    do {
        fd = ::openat(directory, name.c_str(), flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return FileDescriptor(fd);
}

// Never blocks in open (a named pipe) nor takes a terminal as ours.
constexpr int kReadFlags = O_RDONLY | O_NONBLOCK | O_NOCTTY;

enum class ReadResult { Ok, Absent, Failed };

// Reads the length the regular file has now; anything else fails.
ReadResult readRegular(int fd, std::string& data, struct stat& status) {
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) return ReadResult::Failed;
    try {
        data.assign(static_cast<std::size_t>(status.st_size), '\0');
    } catch (const std::exception&) {
        return ReadResult::Failed;  // too big to be a settings file
    }
    std::size_t used = 0;
    while (used < data.size()) {
        const ssize_t n = ::read(fd, data.data() + used, data.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return ReadResult::Failed;
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    data.resize(used);
    return ReadResult::Ok;
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

// Where a write goes: the directory the file sits in and its name there.
struct Target {
    FileDescriptor directory;
    std::string name;
    bool linked = false;  // reached through symbolic links
};

constexpr int kMaxLinks = 40;

void prependParts(std::deque<std::string>& pending, const std::string& path) {
    std::deque<std::string> parts;
    std::size_t begin = 0;
    while (true) {
        const std::size_t slash = path.find('/', begin);
        parts.push_back(path.substr(begin, slash == std::string::npos ? std::string::npos : slash - begin));
        if (slash == std::string::npos) break;
        begin = slash + 1;
    }
    pending.insert(pending.begin(), parts.begin(), parts.end());
}

// Follows the links of `path` one by one, relative to the directories
// opened on the way, so that no link can be swapped between a check and
// its use. Nothing when a link on the way belongs to someone else, the
// links end at anything but the running user's regular file, or a link
// leads nowhere. The directory of `path` itself is taken as given.
std::optional<Target> resolveTarget(const std::string& path) {
    const uid_t user = ::geteuid();
    const std::size_t slash = path.rfind('/');
    const std::string directory = slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
    Target target;
    target.directory = openAt(AT_FDCWD, directory, O_PATH | O_DIRECTORY);
    if (!target.directory.valid()) return std::nullopt;

    std::deque<std::string> pending = {slash == std::string::npos ? path : path.substr(slash + 1)};
    int links = 0;
    while (!pending.empty()) {
        const std::string part = std::move(pending.front());
        pending.pop_front();
        const bool last = pending.empty();
        if (part.empty() || part == "." || part == "..") {
            // A path that ends in a directory names no file.
            if (last) return std::nullopt;
            if (part == "..") target.directory = openAt(target.directory.get(), "..", O_PATH | O_DIRECTORY);
            if (!target.directory.valid()) return std::nullopt;
            continue;
        }
        struct stat status {};
        if (::fstatat(target.directory.get(), part.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
            // A file not there yet is made, but not at the end of a link.
            if (errno != ENOENT || !last || target.linked) return std::nullopt;
            target.name = part;
            return target;
        }
        if (S_ISLNK(status.st_mode)) {
            if (status.st_uid != user || ++links > kMaxLinks) return std::nullopt;
            std::string text(static_cast<std::size_t>(status.st_size) + 256, '\0');
            const ssize_t length = ::readlinkat(target.directory.get(), part.c_str(), text.data(), text.size());
            if (length <= 0 || static_cast<std::size_t>(length) >= text.size()) return std::nullopt;
            text.resize(static_cast<std::size_t>(length));
            if (text.front() == '/') {
                target.directory = openAt(AT_FDCWD, "/", O_PATH | O_DIRECTORY);
                if (!target.directory.valid()) return std::nullopt;
            }
            prependParts(pending, text);
            target.linked = true;
            continue;
        }
        if (last) {
            if (!S_ISREG(status.st_mode) || (target.linked && status.st_uid != user)) return std::nullopt;
            target.name = part;
            return target;
        }
        if (!S_ISDIR(status.st_mode)) return std::nullopt;
        target.directory = openAt(target.directory.get(), part, O_PATH | O_DIRECTORY | O_NOFOLLOW);
        if (!target.directory.valid()) return std::nullopt;
    }
    return std::nullopt;
}

// Temporary files are "<file>.writing-" and eight letters or digits: a name
// that no one gives a file of their own, so the leftovers of a writer that
// was killed can be told apart and removed.
constexpr std::string_view kTemporaryMark = ".writing-";
constexpr std::size_t kTemporarySuffixLength = 8;
constexpr std::string_view kTemporaryDigits = "0123456789abcdefghijklmnopqrstuvwxyz";

// Only the holder of the lock ever has a temporary file open, so under the
// lock every one found belongs to a writer that died before its rename.
void removeLeftoverTemporaries(int directory, const std::string& name) {
    const std::string prefix = name + std::string(kTemporaryMark);
    FileDescriptor listingFd = openAt(directory, ".", O_RDONLY | O_DIRECTORY);
    if (!listingFd.valid()) return;
    DIR* listing = ::fdopendir(listingFd.get());
    if (listing == nullptr) return;
    listingFd.release();  // closed with the listing
    while (const dirent* entry = ::readdir(listing)) {
        const std::string_view found(entry->d_name);
        if (found.size() != prefix.size() + kTemporarySuffixLength || found.substr(0, prefix.size()) != prefix) continue;
        if (found.find_first_not_of(kTemporaryDigits, prefix.size()) != std::string_view::npos) continue;
        ::unlinkat(directory, std::string(found).c_str(), 0);
    }
    ::closedir(listing);
}

// O_EXCL on a fresh name rather than mkstemp, so that a new file gets the
// permissions the umask allows instead of mkstemp's 0600.
FileDescriptor createTemporary(int directory, const std::string& target, std::string& name) {
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
        FileDescriptor fd = openAt(directory, name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, 0666);
        if (fd.valid()) return fd;
        if (errno != EEXIST) break;
    }
    name.clear();
    return FileDescriptor();
}

bool lockExclusive(int fd) {
    while (::flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) return false;
    }
    return true;
}

// A file the user protected: no write bit at all (which root would ignore),
// or one the running user may not write.
bool isProtected(int directory, const std::string& name, const struct stat& status) {
    return (status.st_mode & 0222) == 0 || ::faccessat(directory, name.c_str(), W_OK, AT_EACCESS) != 0;
}

// Writes content to a fresh file beside the target and renames it over the
// target, which must still be what was read: a regular file, or nothing.
bool replaceFile(int directory, const std::string& target, const std::string& content,
                 const struct stat* existing) {
    std::string tempName;
    FileDescriptor temp = createTemporary(directory, target, tempName);
    if (!temp.valid()) return false;

    bool ok = writeWhole(temp.get(), content);
    if (ok && existing) {
        // Best effort: only root keeps the owner, a member of the group the group.
        if (::fchown(temp.get(), existing->st_uid, existing->st_gid) != 0 &&
            ::fchown(temp.get(), static_cast<uid_t>(-1), existing->st_gid) != 0) {
            // The file then belongs to whoever wrote it, as any editor's save does.
        }
        ok = ::fchmod(temp.get(), existing->st_mode & 07777) == 0;
    }
    ok = ok && ::fsync(temp.get()) == 0;
    ok = temp.close() && ok;
    struct stat now {};
    const bool present = ::fstatat(directory, target.c_str(), &now, AT_SYMLINK_NOFOLLOW) == 0;
    ok = ok && (present ? S_ISREG(now.st_mode) && existing != nullptr : errno == ENOENT);
    ok = ok && ::renameat(directory, tempName.c_str(), directory, target.c_str()) == 0;
    if (!ok) {
        ::unlinkat(directory, tempName.c_str(), 0);
        return false;
    }
    // Make the rename itself durable; the new content is already safe.
    ::fsync(directory);
    return true;
}

}  // namespace

std::optional<std::string> PosixTextFileStore::read(const std::string& path) {
    // Looked at before it is opened: opening a device can already do something.
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0 || !S_ISREG(status.st_mode)) return std::nullopt;
    FileDescriptor fd = openAt(AT_FDCWD, path, kReadFlags);
    std::string data;
    if (!fd.valid() || readRegular(fd.get(), data, status) != ReadResult::Ok) return std::nullopt;
    return data;
}

bool PosixTextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    if (path.empty()) return false;
    std::optional<Target> target = resolveTarget(path);
    if (!target) return false;

    // The directory is opened once more to be locked (a descriptor of
    // O_PATH cannot be); where that fails the write goes on without the
    // lock, and the rename still keeps the file whole.
    FileDescriptor lockable = openAt(target->directory.get(), ".", O_RDONLY | O_DIRECTORY);
    const bool locked = lockable.valid() && lockExclusive(lockable.get());
    const int directory = lockable.valid() ? lockable.get() : target->directory.get();

    std::string data;
    struct stat status {};
    ReadResult read = ReadResult::Absent;
    FileDescriptor file = openAt(directory, target->name, kReadFlags | O_NOFOLLOW);
    if (file.valid()) {
        read = readRegular(file.get(), data, status);
        // Another writer may have renamed its own file in since the links
        // were followed.
        if (target->linked && status.st_uid != ::geteuid()) read = ReadResult::Failed;
    } else if (errno != ENOENT || target->linked) {
        read = ReadResult::Failed;
    }
    file.reset();
    if (read == ReadResult::Failed) return false;
    const bool exists = read == ReadResult::Ok;
    const std::optional<std::string> current = exists ? std::optional<std::string>(std::move(data)) : std::nullopt;

    const std::optional<std::string> next = edit(current);
    if (!next) return true;  // nothing to change, so nothing to fail
    if (exists && isProtected(directory, target->name, status)) return false;
    if (locked) removeLeftoverTemporaries(directory, target->name);
    return replaceFile(directory, target->name, *next, exists ? &status : nullptr);
}

}  // namespace kestro

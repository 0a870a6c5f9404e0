#include "DocumentFile.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>

#include "KestroBuild.h"
#include "app/Startup.h"

namespace kestro::cli {
namespace {

// True when the system refuses the path for its length (longer than
// PATH_MAX, or a part longer than NAME_MAX), so it names no file at all.
bool longerThanAllowed(const std::string& path) {
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && errno == ENAMETOOLONG;
}

// What the entry at `path` is when it is not a regular file, for the
// message; empty for a regular file.
std::string whyNotRegular(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) {
        if (errno == ENOENT) return "a symbolic link to nothing";
        return std::string("a symbolic link that cannot be followed (") + ::strerror(errno) + ")";
    }
    if (S_ISREG(status.st_mode)) return "";
    if (S_ISDIR(status.st_mode)) return "a directory";
    if (S_ISFIFO(status.st_mode)) return "a named pipe";
    if (S_ISSOCK(status.st_mode)) return "a socket";
    if (S_ISCHR(status.st_mode) || S_ISBLK(status.st_mode)) return "a device";
    return "an entry of an unknown kind";
}

}  // namespace

std::variant<std::string, int> documentToBuild(const std::string& named, FileSystem& files,
                                               const std::optional<std::string>& cwd, const std::string& appName,
                                               std::ostream& messages) {
    const std::string document = documentFromDirectory(named, cwd);
    if (document.front() != '/') {
        messages << appName << ": the current directory cannot be read\n";
        return kExitFailure;
    }
    if (!files.exists(document)) {
        if (longerThanAllowed(document)) {
            messages << appName << ": " << named << ": the path is longer than the system allows (" << document.size()
                     << " bytes)\n";
        } else {
            messages << appName << ": " << document << " が見つかりません。\n";
        }
        return kExitUsage;
    }
    if (const std::string why = whyNotRegular(document); !why.empty()) {
        messages << appName << ": " << named << " is " << why << ", not a regular file: nothing was run\n";
        return kExitUsage;
    }
    return document;
}

}  // namespace kestro::cli

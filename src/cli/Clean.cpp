#include "Clean.h"

#include <errno.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kestro::cli {

CleanOutcome removeRegularFiles(const std::vector<std::string>& paths) {
    CleanOutcome outcome;
    for (const std::string& path : paths) {
        // lstat: a symbolic link is judged itself, never the file it names.
        struct stat status {};
        if (::lstat(path.c_str(), &status) != 0) {
            if (errno != ENOENT && errno != ENOTDIR) outcome.failed.emplace_back(path, ::strerror(errno));
            continue;
        }
        if (!S_ISREG(status.st_mode)) {
            outcome.leftAlone.emplace_back(path, "not a regular file");
        } else if ((status.st_mode & S_IWUSR) == 0) {
            outcome.leftAlone.emplace_back(path, "read-only");
        } else if (::unlink(path.c_str()) != 0) {
            outcome.failed.emplace_back(path, ::strerror(errno));
        } else {
            outcome.removed.push_back(path);
        }
    }
    return outcome;
}

}  // namespace kestro::cli

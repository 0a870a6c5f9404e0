#include "InotifyWatcher.h"

#include <errno.h>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <filesystem>

namespace kestro {

namespace {

// Written and closed, renamed into place, created, touched.
constexpr std::uint32_t kSaved = IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_ATTRIB;

std::string directoryOf(const std::string& file) {
    std::string directory = std::filesystem::path(file).parent_path().string();
    if (!directory.ends_with('/')) directory += '/';
    return directory;
}

}  // namespace

InotifyWatcher::InotifyWatcher() : inotify_(::inotify_init1(IN_CLOEXEC | IN_NONBLOCK)) {}

bool InotifyWatcher::watch(const std::vector<std::string>& files) {
    std::set<std::string> wanted;
    for (const std::string& file : files) wanted.insert(directoryOf(file));
    for (auto it = directories_.begin(); it != directories_.end();) {
        if (wanted.erase(it->second) == 0) {
            ::inotify_rm_watch(inotify_.get(), it->first);
            it = directories_.erase(it);
        } else {
            ++it;
        }
    }
    for (const std::string& directory : wanted) {
        const int wd = ::inotify_add_watch(inotify_.get(), directory.c_str(), kSaved | IN_ONLYDIR);
        if (wd >= 0) directories_[wd] = directory;
    }
    files_ = std::set<std::string>(files.begin(), files.end());
    return !directories_.empty();
}

bool InotifyWatcher::waitForChange(std::optional<std::chrono::milliseconds> timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout.value_or(std::chrono::milliseconds(0));
    for (;;) {
        if (readEvents()) return true;
        int wait = -1;
        if (timeout) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(left.count());
        }
        pollfd ready{inotify_.get(), POLLIN, 0};
        if (::poll(&ready, 1, wait) < 0 && errno != EINTR) return false;
    }
}

bool InotifyWatcher::readEvents() {
    alignas(inotify_event) char buffer[16 * 1024];
    bool changed = false;
    for (;;) {
        const ssize_t got = ::read(inotify_.get(), buffer, sizeof buffer);
        if (got <= 0) {
            if (got < 0 && errno == EINTR) continue;
            return changed;
        }
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            // Events were lost: any of them may have been a save.
            if (event->mask & IN_Q_OVERFLOW) changed = true;
            const auto directory = directories_.find(event->wd);
            if (event->len == 0 || directory == directories_.end()) continue;
            if (files_.contains(directory->second + event->name)) changed = true;
        }
    }
}

}  // namespace kestro

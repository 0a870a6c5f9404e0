// Watching files with inotify. The directories are watched, not the files:
// an editor that saves by writing a new file and renaming it over the old
// one would leave a watch on the file behind.
#pragma once

#include <map>
#include <set>
#include <string>

#include "FileDescriptor.h"
#include "seam/FileWatcher.h"

namespace kestro {

class InotifyWatcher : public FileWatcher {
public:
    InotifyWatcher();

    // False when the system gave no inotify instance.
    bool valid() const { return inotify_.valid(); }

    bool watch(const std::vector<std::string>& files) override;
    bool waitForChange(std::optional<std::chrono::milliseconds> timeout) override;

private:
    // Reads the events there are; true when one concerns a watched file.
    bool readEvents();

    FileDescriptor inotify_;
    // Watch descriptor -> the directory, with its final "/".
    std::map<int, std::string> directories_;
    std::set<std::string> files_;
};

}  // namespace kestro

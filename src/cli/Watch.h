// --watch: build once, then again each time the document or a file the
// compiler read is saved, until a signal ends the program.
#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "seam/FileSystem.h"
#include "seam/FileWatcher.h"
#include "state/BarState.h"

namespace kestro::cli {

class DocumentWatch {
public:
    DocumentWatch(FileWatcher& watcher, FileSystem& files, const BarState& state, const std::string& appName,
                  std::ostream& messages);

    // Runs `build` (true: it succeeded; it has said so when not) and says
    // what was built and how long it took; then waits for a save, for a
    // burst of saves to end, and builds again. A save during a build gives
    // one more build after it. Returns only when nothing can be watched.
    int run(const std::function<bool()>& build);

private:
    // What to watch after a build: the document, and the files the compiler
    // read, outside the TeX installation.
    std::vector<std::string> filesToWatch(const std::optional<FileTime>& recorderBefore);
    std::string besideDocument(const std::string& extension) const;
    std::string readOrEmpty(const std::string& path);

    FileWatcher& watcher_;
    FileSystem& files_;
    const BarState& state_;
    std::string appName_;
    std::ostream& messages_;
};

}  // namespace kestro::cli

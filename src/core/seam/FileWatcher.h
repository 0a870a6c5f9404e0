// What a watch that builds again on every save needs of the platform: word
// when a file is saved, whether the editor writes it in place or replaces
// it by a new file.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace kestro {

class FileWatcher {
public:
    virtual ~FileWatcher() = default;

    // The files to watch from now on (absolute paths), in place of those
    // before. False when not one of them can be watched.
    virtual bool watch(const std::vector<std::string>& files) = 0;

    // Waits until a watched file has been written, created, replaced or
    // touched, or the timeout (nothing: none) has passed; false then.
    // Changes since the last call count, those made meanwhile by anyone.
    virtual bool waitForChange(std::optional<std::chrono::milliseconds> timeout) = 0;
};

}  // namespace kestro

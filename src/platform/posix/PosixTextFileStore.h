// Whole-file storage on Linux: reads with plain file reads, replaces files
// through a temporary file and a rename, serialised between processes by
// flock on a companion "<file>.lock" (the file itself cannot carry the lock,
// since the rename replaces it). The lock file stays beside the file.
#pragma once

#include "seam/TextFileStore.h"

namespace kestro {

class PosixTextFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override;

    // The existing file keeps its permission bits (and its owner where that
    // can be kept); a new one gets 0666 less the umask. A symbolic link is
    // followed, so the file it names is replaced and the link stays. An
    // existing file that cannot be read is never overwritten. A temporary
    // file that a killed writer left behind is removed by the next write.
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;
};

}  // namespace kestro

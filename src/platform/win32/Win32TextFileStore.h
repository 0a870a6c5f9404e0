// Whole-file storage on Windows for the project's own INI layer: a file is
// replaced through a temporary file in its directory and MoveFileExA, and
// writers of one path take turns through LockFileEx on "<file>.lock" (the
// file itself cannot carry the lock, since the move replaces it). The lock
// file stays beside the file.
#pragma once

#include "seam/TextFileStore.h"

namespace kestro {

class Win32TextFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override;

    // An existing file that cannot be read is never overwritten.
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;
};

}  // namespace kestro

// Whole-file storage for the project's own INI layer.
#pragma once

#include <functional>
#include <optional>
#include <string>

namespace kestro {

class TextFileStore {
public:
    virtual ~TextFileStore() = default;

    // The file's bytes, or nothing when it does not exist or cannot be read.
    virtual std::optional<std::string> read(const std::string& path) = 0;

    // Reads the file (nothing when absent), lets `edit` produce the new
    // content and replaces the file with it atomically: under a lock shared
    // by every writer of that path, through a temporary file in the same
    // directory and a rename, so that neither a crash nor a second writer
    // ever leaves a broken or half-written file. `edit` returning nothing
    // leaves the file untouched. False when the file could not be written.
    virtual bool update(const std::string& path,
                        const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) = 0;
};

}  // namespace kestro

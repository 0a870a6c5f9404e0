// Kestro.ini: the five settings operations every part of the bar uses.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "seam/ProfileStore.h"

namespace kestro {

class SettingsFile {
public:
    // `pathTooLong`: the path is empty because the settings file's path
    // would be longer than the system takes; the first write then reports,
    // with the empty path, that nothing is kept.
    SettingsFile(ProfileStore& store, std::string path, bool pathTooLong = false)
        : store_(store), path_(std::move(path)), pathTooLong_(pathTooLong) {}

    const std::string& path() const { return path_; }

    // With an empty path (the working directory could not be read, or was
    // too long) every read gives its default and every write does nothing:
    // no other file is ever touched.
    int readSettingInt(const std::string& section, const std::string& key, int defaultValue);
    std::string readSettingString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue = std::string());
    void writeSettingInt(const std::string& section, const std::string& key, int value);
    void writeSettingString(const std::string& section, const std::string& key,
                            const std::string& value);
    void deleteSetting(const std::string& section, const std::string& key);

    // Called once, at the first write that fails in this run, with the
    // settings path (empty when it was too long), so the user learns that
    // choices are not being kept. A failure before any handler is set is
    // reported at the next one.
    void onFirstWriteFailure(std::function<void(const std::string&)> handler) {
        writeFailureHandler_ = std::move(handler);
    }

private:
    void report(bool written);

    ProfileStore& store_;
    std::string path_;
    bool pathTooLong_ = false;
    std::function<void(const std::string&)> writeFailureHandler_;
    bool failureReported_ = false;
};

}  // namespace kestro

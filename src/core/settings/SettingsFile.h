// Kestro.ini: the five settings operations every part of the bar uses.
#pragma once

#include <functional>
#include <string>
#include <utility>

#include "seam/ProfileStore.h"

namespace kestro {

class SettingsFile {
public:
    SettingsFile(ProfileStore& store, std::string path) : store_(store), path_(std::move(path)) {}

    const std::string& path() const { return path_; }

    // With an empty path (the working directory could not be read) every
    // read gives its default and every write does nothing: no other file is
    // ever touched.
    int readSettingInt(const std::string& section, const std::string& key, int defaultValue);
    std::string readSettingString(const std::string& section, const std::string& key,
                                  const std::string& defaultValue = std::string());
    void writeSettingInt(const std::string& section, const std::string& key, int value);
    void writeSettingString(const std::string& section, const std::string& key,
                            const std::string& value);
    void deleteSetting(const std::string& section, const std::string& key);

    // Called once, at the first write that fails in this run, with the
    // settings path, so the user learns that choices are not being kept.
    // A failure before any handler is set is reported at the next one.
    void onFirstWriteFailure(std::function<void(const std::string&)> handler) {
        writeFailureHandler_ = std::move(handler);
    }

private:
    void report(bool written);

    ProfileStore& store_;
    std::string path_;
    std::function<void(const std::string&)> writeFailureHandler_;
    bool failureReported_ = false;
};

}  // namespace kestro

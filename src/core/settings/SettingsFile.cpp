#include "settings/SettingsFile.h"

namespace kestro {

int SettingsFile::readSettingInt(const std::string& section, const std::string& key,
                                 int defaultValue) {
    if (path_.empty()) return defaultValue;
    return store_.getInt(path_, section, key, defaultValue);
}

std::string SettingsFile::readSettingString(const std::string& section, const std::string& key,
                                            const std::string& defaultValue) {
    if (path_.empty()) return defaultValue;
    return store_.getString(path_, section, key, defaultValue);
}

void SettingsFile::writeSettingInt(const std::string& section, const std::string& key, int value) {
    // std::to_string of an int is the "%d" text.
    writeSettingString(section, key, std::to_string(value));
}

void SettingsFile::writeSettingString(const std::string& section, const std::string& key,
                                      const std::string& value) {
    if (path_.empty()) return report(!pathTooLong_);
    report(store_.writeString(path_, section, key, value));
}

void SettingsFile::deleteSetting(const std::string& section, const std::string& key) {
    if (path_.empty()) return report(!pathTooLong_);
    report(store_.writeString(path_, section, key, std::nullopt));
}

void SettingsFile::report(bool written) {
    if (written || failureReported_ || !writeFailureHandler_) return;
    failureReported_ = true;
    writeFailureHandler_(path_);
}

}  // namespace kestro

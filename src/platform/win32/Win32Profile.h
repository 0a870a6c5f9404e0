// The settings file through the Win32 private-profile functions.
#pragma once

#include "seam/ProfileStore.h"

namespace kestro {

// An empty file name is never passed on: Windows would take it for WIN.INI
// in the Windows directory. Reads then give their default, writes fail.
class Win32Profile : public ProfileStore {
public:
    int getInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue) override;
    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue) override;
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::optional<std::string>& value) override;
};

}  // namespace kestro

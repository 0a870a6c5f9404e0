// The settings file as the platform keeps it: the semantics of the Win32
// private-profile functions on one INI file.
#pragma once

#include <optional>
#include <string>

namespace kestro {

class ProfileStore {
public:
    virtual ~ProfileStore() = default;

    // GetPrivateProfileIntA: the default when the key is absent or empty,
    // otherwise the number the value begins with.
    virtual int getInt(const std::string& file, const std::string& section,
                       const std::string& key, int defaultValue) = 0;
    // GetPrivateProfileStringA through a 4096-byte buffer: the default when
    // the key is absent, otherwise the stored value (also when empty), at
    // most 4095 bytes.
    virtual std::string getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) = 0;
    // WritePrivateProfileStringA: stores the value, or deletes the key when
    // there is none. False when the file could not be written.
    virtual bool writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::optional<std::string>& value) = 0;
};

}  // namespace kestro

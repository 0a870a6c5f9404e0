// The project's own private-profile layer, used where the Win32 functions
// are not available: reads and writes INI files through a TextFileStore.
#pragma once

#include "seam/ProfileStore.h"
#include "seam/TextFileStore.h"
#include "text/CodePage.h"

namespace kestro {

class IniProfile : public ProfileStore {
public:
    // Names are compared in the platform's own code page.
    explicit IniProfile(TextFileStore& store);
    IniProfile(TextFileStore& store, CodePage codePage) : store_(store), codePage_(codePage) {}

    // An empty file name reads as an absent file and is never written: no
    // other file stands in for it.
    int getInt(const std::string& file, const std::string& section, const std::string& key,
               int defaultValue) override;
    std::string getString(const std::string& file, const std::string& section,
                          const std::string& key, const std::string& defaultValue) override;
    // False also for a name or value the file cannot hold (see iniCanStore).
    // Writing the value already stored leaves the file untouched.
    bool writeString(const std::string& file, const std::string& section, const std::string& key,
                     const std::optional<std::string>& value) override;

private:
    std::optional<std::string> lookup(const std::string& file, const std::string& section,
                                      const std::string& key);

    TextFileStore& store_;
    CodePage codePage_;
};

}  // namespace kestro

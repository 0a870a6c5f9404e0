#include "settings/IniProfile.h"

#include "settings/IniText.h"
#include "text/PlatformRules.h"

namespace kestro {

IniProfile::IniProfile(TextFileStore& store) : IniProfile(store, PlatformRules::native().codePage) {}

std::optional<std::string> IniProfile::lookup(const std::string& file, const std::string& section,
                                              const std::string& key) {
    if (file.empty()) return std::nullopt;
    const std::optional<std::string> text = store_.read(file);
    if (!text) return std::nullopt;
    return iniLookup(codePage_, *text, section, key);
}

int IniProfile::getInt(const std::string& file, const std::string& section,
                       const std::string& key, int defaultValue) {
    const std::optional<std::string> value = lookup(file, section, key);
    if (!value || value->empty()) return defaultValue;
    return profileIntFromText(*value);
}

std::string IniProfile::getString(const std::string& file, const std::string& section,
                                  const std::string& key, const std::string& defaultValue) {
    const std::optional<std::string> value = lookup(file, section, key);
    return limitProfileString(codePage_, value ? *value : defaultValue);
}

bool IniProfile::writeString(const std::string& file, const std::string& section,
                             const std::string& key, const std::optional<std::string>& value) {
    if (file.empty()) return false;
    const std::optional<std::string_view> newValue =
        value ? std::optional<std::string_view>(*value) : std::nullopt;
    if (!iniCanStore(codePage_, section, key, newValue)) return false;
    return store_.update(file, [&](const std::optional<std::string>& current) -> std::optional<std::string> {
        // Deleting from a file that does not exist has nothing to do.
        if (!current && !value) return std::nullopt;
        const std::string_view before = current ? std::string_view(*current) : std::string_view();
        std::string after = iniWrite(codePage_, before, section, key, newValue);
        if (current && after == *current) return std::nullopt;
        return after;
    });
}

}  // namespace kestro

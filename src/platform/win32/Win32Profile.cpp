#include "Win32Profile.h"

#include "Win32Api.h"

namespace kestro {

namespace {
constexpr DWORD kReadBuffer = 4096;
// Windows drops trailing blanks from the default it hands back; asking with
// a text no stored value can be (values end at the line break) tells an
// absent key apart, and the caller's default comes back exactly as given.
constexpr char kAbsent[] = "\n";
}

int Win32Profile::getInt(const std::string& file, const std::string& section,
                         const std::string& key, int defaultValue) {
    if (file.empty()) return defaultValue;
    // The function returns the value's 32 bits unsigned; "-5" reads as -5.
    return static_cast<int>(
        GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

std::string Win32Profile::getString(const std::string& file, const std::string& section,
                                    const std::string& key, const std::string& defaultValue) {
    if (file.empty()) return defaultValue;
    char buffer[kReadBuffer];
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), kAbsent, buffer,
                                                  kReadBuffer, file.c_str());
    const std::string value(buffer, length);
    return value == kAbsent ? defaultValue : value;
}

bool Win32Profile::writeString(const std::string& file, const std::string& section,
                               const std::string& key, const std::optional<std::string>& value) {
    if (file.empty()) return false;
    return WritePrivateProfileStringA(section.c_str(), key.c_str(),
                                      value ? value->c_str() : nullptr, file.c_str()) != 0;
}

}  // namespace kestro

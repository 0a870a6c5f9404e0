// Filling a message text's placeholder.
#pragma once

#include <string>
#include <string_view>

namespace kestro {

// `pattern` with its first occurrence of `placeholder` ("%s", "%1")
// replaced by `value`; unchanged when it has none. The placeholder is ASCII,
// so a plain search cannot match inside a multi-byte character.
inline std::string fillPlaceholder(std::string pattern, std::string_view placeholder,
                                   std::string_view value) {
    const std::size_t at = pattern.find(placeholder);
    if (at != std::string::npos) pattern.replace(at, placeholder.size(), value);
    return pattern;
}

}  // namespace kestro

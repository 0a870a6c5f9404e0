// The core's texts (UTF-8 bytes on Linux) as Qt strings.
#pragma once

#include <QString>

#include <string>

namespace kestro {

inline QString fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace kestro

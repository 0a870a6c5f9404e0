// The core's texts (UTF-8 bytes on Linux) as Qt strings.
#pragma once

#include <QString>

#include <string>

#include "app/ControlTable.h"

namespace kestro {

inline QString fromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// A template's control and title in the words of the platform the bar runs
// on, as the core picks them.
inline QString shownText(const TemplateControl& control) {
    return fromBytes(controlText(PlatformRules::native(), control));
}
inline QString shownCaption(const DialogTemplate& form) {
    return fromBytes(captionText(PlatformRules::native(), form));
}

}  // namespace kestro

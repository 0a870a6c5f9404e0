#include "StartupEnvironment.h"

namespace kestro {

std::optional<std::string> preferredQtPlatform(const EnvironmentLookup& environment) {
    const auto set = [&](const char* name) {
        const std::optional<std::string> value = environment(name);
        return value && !value->empty();
    };
    if (set("QT_QPA_PLATFORM")) return std::nullopt;
    if (set("WAYLAND_DISPLAY") && set("DISPLAY")) return std::string("xcb");
    return std::nullopt;
}

std::string commandTailOf(const std::vector<std::string>& arguments) {
    std::string tail;
    for (std::size_t i = 1; i < arguments.size(); ++i) {
        if (i > 1) tail += ' ';
        tail += arguments[i];
    }
    return tail;
}

}  // namespace kestro

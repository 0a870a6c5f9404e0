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

StartRequest startRequestOf(const std::vector<std::string>& arguments) {
    const std::string first = arguments.size() > 1 ? arguments[1] : std::string();
    if (first == "--help") return {StartRequest::Kind::Help, {}};
    if (first == "--version") return {StartRequest::Kind::Version, {}};
    if (first == "--") {
        std::vector<std::string> rest(arguments.begin() + 1, arguments.end());
        return {StartRequest::Kind::Bar, commandTailOf(rest)};
    }
    return {StartRequest::Kind::Bar, commandTailOf(arguments)};
}

std::string usageText() {
    return "Usage: kestro [FILE.tex]\n"
           "       kestro -- FILE.tex\n"
           "       kestro --help | --version\n"
           "\n"
           "Shows the TeX tool bar on FILE.tex, or without one on the most recent\n"
           "document of its history, with the settings of Kestro.ini in the current\n"
           "directory. Everything after the program name, joined by single blanks,\n"
           "is the document; after a first word --, everything that follows it.\n"
           "\n"
           "  --help      show this text\n"
           "  --version   show the program's version\n";
}

std::string noDisplayText(const EnvironmentLookup& environment) {
    std::string named;
    for (const char* name : {"QT_QPA_PLATFORM", "WAYLAND_DISPLAY", "DISPLAY"}) {
        const std::optional<std::string> value = environment(name);
        if (value && !value->empty()) named += (named.empty() ? "" : ", ") + std::string(name) + "=" + *value;
    }
    if (named.empty()) return "kestro: no display to show the bar on: neither DISPLAY nor WAYLAND_DISPLAY is set\n";
    return "kestro: no display to show the bar on: none answers (" + named + ")\n";
}

}  // namespace kestro

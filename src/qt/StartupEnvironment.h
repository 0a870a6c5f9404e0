// Decisions taken before the application object exists.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace kestro {

using EnvironmentLookup = std::function<std::optional<std::string>(const std::string&)>;

// Under a Wayland session a client can neither place its window nor keep it
// above others; through XWayland it can. The Qt platform to ask for, or
// nothing to leave Qt's own choice (no XWayland, or the user chose).
std::optional<std::string> preferredQtPlatform(const EnvironmentLookup& environment);

// The command-line tail: the words after the program name joined by single
// blanks, as the whole tail arrives on Windows.
std::string commandTailOf(const std::vector<std::string>& arguments);

// What a command line asks of the program: the usage or the version, when
// "--help" or "--version" is its first word, or else the bar on the
// command-line tail, which after a first word "--" is the rest.
struct StartRequest {
    enum class Kind { Bar, Help, Version } kind = Kind::Bar;
    std::string commandTail;
};
StartRequest startRequestOf(const std::vector<std::string>& arguments);

// The text of --help.
std::string usageText();

// One line for standard error when Qt cannot show a window: no display is
// named, or the one named does not answer.
std::string noDisplayText(const EnvironmentLookup& environment);

}  // namespace kestro

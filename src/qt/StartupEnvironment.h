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

// The start-up document as the bar keeps it: a relative path is taken from
// the working directory the bar starts in, so it still names the same file
// after a build has changed the current directory.
std::string startupDocument(const std::string& commandTail, const std::optional<std::string>& workingDirectory);

}  // namespace kestro

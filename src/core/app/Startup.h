// Start-up of the program: where the settings file lies and which document
// the bar starts with.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "text/PlatformRules.h"

namespace kestro {

// The settings path for the working directory the process starts in. No
// directory, or one too long for the settings path (startFolderTooLong),
// gives the empty path; the bar then keeps no settings. Plain
// concatenation: a root directory gives two separators before the file
// name.
std::string settingsPathForStart(const PlatformRules& rules,
                                 const std::optional<std::string>& workingDirectory);

// True on Windows when the start folder's path leaves no room for the
// settings file (a directory of 249 bytes or more): the settings path would
// pass the 259 bytes the profile functions take, and they would cut it and
// write files of other names.
bool startFolderTooLong(const PlatformRules& rules, const std::optional<std::string>& workingDirectory);

// The start-up document from the command-line tail: the whole tail, with one
// pair of enclosing double quotes removed (what a file association passes).
std::string documentFromCommandTail(std::string_view commandTail);

// A relative document path (Linux) taken from the working directory the
// program starts in, so it still names the same file after a build has
// changed the current directory. An absolute path, an empty one or no
// directory leave it as it is.
std::string documentFromDirectory(const std::string& document, const std::optional<std::string>& workingDirectory);

// The application name: the executable's file name without directory and
// extension.
std::string applicationNameFromExecutable(const PlatformRules& rules, std::string_view executablePath);

}  // namespace kestro

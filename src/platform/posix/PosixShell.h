// The shell open of the Linux front ends: the editor, and the desktop's
// opener for the PDF file.
#pragma once

#include "seam/UserInterface.h"

namespace kestro {

class PosixProcesses;

// What a shell open returns, read as ShellExecute's result: above 32 when
// the program started, 32 or less when it could not be started.
constexpr int kShellOpenStarted = 42;
constexpr int kShellOpenFailed = 2;

// With parameters (the editor): starts `file` (a text with "/" as written, a
// bare name along PATH) with the parameter text split into arguments by the
// Windows C runtime rules. Without parameters (the PDF): starts the
// desktop's opener, "xdg-open" or the program that the environment variable
// KESTRO_OPENER names, on `file`. Either way the program runs in
// `directory` (empty: the current directory), in a session of its own, and
// is not waited for; the verb is always "open".
int posixShellOpen(const ShellOpenRequest& request, PosixProcesses& processes);

}  // namespace kestro

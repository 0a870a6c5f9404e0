// A tool's process group: the tool, which leads it, and the helpers it
// started (a wrapper script's TeX).
#pragma once

#include <sys/types.h>

namespace kestro {

// Sends `signal` to every process of the group; a stopped group gets
// SIGCONT too, since it would act on the signal only once continued.
void signalGroup(pid_t group, int signal);

// Whether a process of the group is still running (not merely waiting to be
// reaped). The caller keeps the group's leader unreaped, so the number
// cannot name a later group.
bool groupHasLiveMembers(pid_t group);

}  // namespace kestro

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

// Whether a shell could continue the group if it stopped: one of its
// processes has a parent in another group of the same session. The system
// does not stop an orphaned group on SIGTSTP, SIGTTIN or SIGTTOU.
bool groupCanBeStopped(pid_t group);

}  // namespace kestro

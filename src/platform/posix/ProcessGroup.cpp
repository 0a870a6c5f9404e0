#include "ProcessGroup.h"

#include <dirent.h>
#include <signal.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

namespace kestro {

namespace {

// The state and the group of a process from /proc/PID/stat: the fields
// after the command name, which is in parentheses and may hold anything.
bool liveMemberOf(const std::string& pid, pid_t group) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return false;
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return false;
    std::istringstream fields(stat.substr(close + 1));
    char state = 0;
    long parent = 0, processGroup = 0;
    if (!(fields >> state >> parent >> processGroup)) return false;
    return processGroup == group && state != 'Z' && state != 'X';
}

}  // namespace

void signalGroup(pid_t group, int signal) {
    ::killpg(group, signal);
    if (signal != SIGKILL && signal != SIGCONT) ::killpg(group, SIGCONT);
}

bool groupHasLiveMembers(pid_t group) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return ::killpg(group, 0) == 0;
    bool live = false;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.find_first_not_of("0123456789") == std::string::npos && liveMemberOf(name, group)) {
            live = true;
            break;
        }
    }
    ::closedir(proc);
    return live;
}

}  // namespace kestro

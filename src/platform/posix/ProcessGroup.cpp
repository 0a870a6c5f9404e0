#include "ProcessGroup.h"

#include <dirent.h>
#include <signal.h>

#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>

namespace kestro {

namespace {

struct ProcessStatus {
    char state = 0;
    long parent = 0;
    long group = 0;
    long session = 0;
};

// From /proc/PID/stat: the fields after the command name, which is in
// parentheses and may hold anything.
std::optional<ProcessStatus> statusOf(const std::string& pid) {
    std::ifstream in("/proc/" + pid + "/stat");
    std::string stat;
    if (!std::getline(in, stat)) return std::nullopt;
    const std::size_t close = stat.rfind(')');
    if (close == std::string::npos) return std::nullopt;
    std::istringstream fields(stat.substr(close + 1));
    ProcessStatus status;
    if (!(fields >> status.state >> status.parent >> status.group >> status.session)) return std::nullopt;
    return status;
}

bool running(const ProcessStatus& status) { return status.state != 'Z' && status.state != 'X'; }

// Whether a running process of `group` meets `test`.
bool anyMember(pid_t group, const std::function<bool(const ProcessStatus&)>& test) {
    DIR* proc = ::opendir("/proc");
    if (proc == nullptr) return false;
    bool found = false;
    while (const dirent* entry = ::readdir(proc)) {
        const std::string name = entry->d_name;
        if (name.find_first_not_of("0123456789") != std::string::npos) continue;
        const std::optional<ProcessStatus> status = statusOf(name);
        if (status && status->group == group && running(*status) && test(*status)) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

}  // namespace

void signalGroup(pid_t group, int signal) {
    ::killpg(group, signal);
    if (signal != SIGKILL && signal != SIGCONT) ::killpg(group, SIGCONT);
}

bool groupHasLiveMembers(pid_t group) {
    return anyMember(group, [](const ProcessStatus&) { return true; });
}

bool groupCanBeStopped(pid_t group) {
    return anyMember(group, [group](const ProcessStatus& member) {
        const std::optional<ProcessStatus> parent = statusOf(std::to_string(member.parent));
        return parent && parent->group != group && parent->session == member.session;
    });
}

}  // namespace kestro

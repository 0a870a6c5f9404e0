#include "JobTerminal.h"

#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <termios.h>
#include <unistd.h>

namespace kestro {

std::unique_ptr<JobTerminal> JobTerminal::open() {
    const int fd = ::open("/dev/tty", O_RDWR | O_CLOEXEC | O_NOCTTY);
    if (fd < 0) return nullptr;
    return std::unique_ptr<JobTerminal>(new JobTerminal(fd));
}

bool JobTerminal::callerInForeground() const { return ::tcgetpgrp(fd_.get()) == ::getpgrp(); }

void JobTerminal::giveTo(pid_t group) const {
    sigset_t ttou, saved;
    sigemptyset(&ttou);
    sigaddset(&ttou, SIGTTOU);
    ::pthread_sigmask(SIG_BLOCK, &ttou, &saved);
    ::tcsetpgrp(fd_.get(), group);
    ::pthread_sigmask(SIG_SETMASK, &saved, nullptr);
}

void JobTerminal::takeBack() const { giveTo(::getpgrp()); }

}  // namespace kestro

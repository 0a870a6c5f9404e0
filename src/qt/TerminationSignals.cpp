#include "TerminationSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace kestro {

namespace {

constexpr int kEndingSignals[] = {SIGTERM, SIGHUP, SIGINT};

// The handler may only write: it wakes the event loop through this pair.
int wakeUp[2] = {-1, -1};

void onSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[0], &byte, 1);
    errno = saved;
}

}  // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent) {
    if (wakeUp[0] < 0 && ::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, wakeUp) != 0) return;
    notifier_ = new QSocketNotifier(wakeUp[1], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] {
        char bytes[16];
        while (::read(wakeUp[1], bytes, sizeof bytes) > 0) {
        }
        emit received();
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : kEndingSignals) {
        // One ignored from the start stays so (nohup, a job a script started
        // in the background).
        struct sigaction inherited {};
        if (::sigaction(signal, nullptr, &inherited) != 0 || inherited.sa_handler == SIG_IGN) continue;
        if (::sigaction(signal, &action, nullptr) == 0) handled_.push_back(signal);
    }
}

TerminationSignals::~TerminationSignals() {
    for (const int signal : handled_) ::signal(signal, SIG_DFL);
}

}  // namespace kestro

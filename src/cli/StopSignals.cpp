#include "StopSignals.h"

#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <system_error>
#include <thread>

#include "PosixProcesses.h"

namespace kestro::cli {
namespace {

// Held by every settings write, and taken for good by the exit.
std::mutex& settingsWrites() {
    static std::mutex mutex;
    return mutex;
}

// Set before the tool is told to stop, so a run that ends because its tool
// was stopped always sees it.
std::atomic<int> receivedSignal{0};

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    sigaddset(&set, SIGINT);
    return set;
}

[[noreturn]] void stopOnSignal() {
    const sigset_t set = stopSignals();
    int signal = 0;
    while (::sigwait(&set, &signal) != 0) {
    }
    endOnSignal(signal);
}

}  // namespace

void endOnSignal(int signal) {
    receivedSignal = signal;
    stopToolsForExit(signal);
    settingsWrites().lock();
    if (signal == SIGINT) {
        // Ended by the signal itself, so a shell loop that ran kestro-build
        // stops too, as after its own Ctrl-C.
        ::signal(SIGINT, SIG_DFL);
        sigset_t interrupt;
        sigemptyset(&interrupt);
        sigaddset(&interrupt, SIGINT);
        ::pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
        ::raise(SIGINT);
    }
    ::_exit(128 + signal);
}

ProcessEnd InterruptibleProcesses::startAndWait(const ProcessRequest& request) {
    const ProcessEnd end = processes_.startAndWait(request);
    if (end.signal == SIGINT) endOnSignal(SIGINT);
    return end;
}

void handleStopSignals() {
    const sigset_t set = stopSignals();
    ::pthread_sigmask(SIG_BLOCK, &set, nullptr);
    try {
        std::thread(stopOnSignal).detach();
    } catch (const std::system_error&) {
        // No thread to wait for them: the signals end the program as before.
        ::pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
    }
}

int statusAfterStopSignals(int status) {
    if (receivedSignal == 0) return status;
    for (;;) ::pause();
}

bool StopSafeTextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    std::lock_guard lock(settingsWrites());
    return store_.update(path, edit);
}

}  // namespace kestro::cli

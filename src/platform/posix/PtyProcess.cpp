#include "PtyProcess.h"

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "PosixProcesses.h"

extern char** environ;

namespace kestro {

namespace {

// The environment of the bar with TERM naming a terminal that knows no
// colours or cursor moves: the console window shows plain lines.
std::vector<std::string> toolEnvironment() {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "TERM=", 5) != 0) entries.emplace_back(*entry);
    }
    entries.emplace_back("TERM=dumb");
    return entries;
}

std::vector<char*> pointers(std::vector<std::string>& texts) {
    std::vector<char*> result;
    for (std::string& text : texts) result.push_back(text.data());
    result.push_back(nullptr);
    return result;
}

// A new pseudo-terminal: the master side, and the slave side of 80 x 24.
bool openTerminal(FileDescriptor& master, FileDescriptor& slave) {
    master = FileDescriptor(posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!master.valid()) return false;
    char slaveName[128];
    if (grantpt(master.get()) != 0 || unlockpt(master.get()) != 0 ||
        ptsname_r(master.get(), slaveName, sizeof slaveName) != 0) {
        return false;
    }
    slave = FileDescriptor(open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.valid()) return false;
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    ioctl(slave.get(), TIOCSWINSZ, &size);
    return true;
}

// Everything the child does between fork and exec, with async-signal-safe
// calls only: the bar has other threads.
[[noreturn]] void becomeTool(int slave, int errorPipe, const char* executable, char* const* argv,
                             char* const* envp) {
    sigset_t none;
    sigemptyset(&none);
    sigprocmask(SIG_SETMASK, &none, nullptr);
    for (int sig : {SIGPIPE, SIGINT, SIGQUIT, SIGTERM, SIGHUP, SIGCHLD, SIGTSTP, SIGTTIN, SIGTTOU}) {
        struct sigaction action {};
        action.sa_handler = SIG_DFL;
        sigaction(sig, &action, nullptr);
    }
    int error = 0;
    if (setsid() < 0 || ioctl(slave, TIOCSCTTY, 0) < 0) error = errno;
    if (error == 0 && (dup2(slave, 0) < 0 || dup2(slave, 1) < 0 || dup2(slave, 2) < 0)) error = errno;
    if (error == 0) {
        if (slave > 2) close(slave);
        execve(executable, argv, envp);
        error = errno;
    }
    ssize_t ignored = ::write(errorPipe, &error, sizeof error);
    (void)ignored;
    _exit(127);
}

int waitFor(pid_t pid, int options, int& status) {
    pid_t result;
    do {
        result = waitpid(pid, &status, options);
    } while (result < 0 && errno == EINTR && options == 0);
    return result;
}

}  // namespace

PtyProcess::~PtyProcess() {
    if (pid_ > 0) {
        signalGroup(SIGKILL);
        int status = 0;
        waitFor(pid_, 0, status);
    }
}

bool PtyProcess::start(const std::string& executable, const std::vector<std::string>& arguments) {
    if (pid_ > 0) return false;
    end_ = ProcessEnd{};

    FileDescriptor master, slave;
    if (!openTerminal(master, slave)) return false;
    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) return false;
    FileDescriptor errorRead(errorPipe[0]), errorWrite(errorPipe[1]);

    std::vector<std::string> argumentTexts = arguments;
    if (argumentTexts.empty()) argumentTexts.push_back(executable);
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<std::string> environmentTexts = toolEnvironment();
    std::vector<char*> envp = pointers(environmentTexts);

    const pid_t pid = fork();
    if (pid == 0) {
        ::close(errorRead.release());
        becomeTool(slave.get(), errorWrite.get(), executable.c_str(), argv.data(), envp.data());
    }
    slave.reset();
    errorWrite.reset();
    if (pid < 0) return false;

    // The pipe closes at a successful exec; an errno arrives when it failed.
    int childError = 0;
    ssize_t got;
    do {
        got = read(errorRead.get(), &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    if (got > 0) {
        int status = 0;
        waitFor(pid, 0, status);
        return false;
    }

    master_ = std::move(master);
    pid_ = pid;
    fcntl(master_.get(), F_SETFL, fcntl(master_.get(), F_GETFL) | O_NONBLOCK);
    return true;
}

std::optional<std::string> PtyProcess::readSome() {
    if (!master_.valid()) return std::nullopt;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(master_.get(), buffer, sizeof buffer);
        if (got > 0) return std::string(buffer, static_cast<std::size_t>(got));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return std::string();
        return std::nullopt;  // EIO: no process holds the slave side any more
    }
}

void PtyProcess::write(std::string_view bytes) {
    while (master_.valid() && !bytes.empty()) {
        const ssize_t written = ::write(master_.get(), bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the tool has gone or reads nothing: the typing is lost
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void PtyProcess::signalGroup(int signal) {
    if (pid_ <= 0) return;
    // The tool leads its own session and group.
    if (kill(-pid_, signal) != 0) kill(pid_, signal);
}

bool PtyProcess::poll() {
    if (pid_ <= 0) return true;
    int status = 0;
    const pid_t result = waitFor(pid_, WNOHANG, status);
    if (result == 0 || (result < 0 && errno == EINTR)) return false;
    // waitpid fails only when someone else reaped the tool; its status is lost.
    reaped(result < 0 ? -1 : status);
    return true;
}

void PtyProcess::killAndWait() {
    if (pid_ <= 0) return;
    signalGroup(SIGKILL);
    int status = 0;
    reaped(waitFor(pid_, 0, status) < 0 ? -1 : status);
}

void PtyProcess::reaped(int status) {
    end_ = status == -1 ? ProcessEnd{} : processEndOf(status);
    pid_ = 0;
}

}  // namespace kestro

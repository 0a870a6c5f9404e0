#include "PtyProcess.h"

#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

extern char** environ;

namespace kestro {

namespace {

constexpr int kExitPollMs = 20;
constexpr int kGraceBeforeKillMs = 2000;

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

}  // namespace

PtyProcess::PtyProcess(QObject* parent) : QObject(parent) {
    exitPoll_ = new QTimer(this);
    exitPoll_->setInterval(kExitPollMs);
    connect(exitPoll_, &QTimer::timeout, this, &PtyProcess::checkExit);
    killTimer_ = new QTimer(this);
    killTimer_->setSingleShot(true);
    killTimer_->setInterval(kGraceBeforeKillMs);
    connect(killTimer_, &QTimer::timeout, this, [this] { killGroup(SIGKILL); });
}

PtyProcess::~PtyProcess() {
    if (pid_ > 0) {
        killGroup(SIGKILL);
        int status = 0;
        while (waitpid(static_cast<pid_t>(pid_), &status, 0) < 0 && errno == EINTR) {
        }
    }
    closeMaster();
}

bool PtyProcess::start(const std::string& executable, const std::vector<std::string>& arguments) {
    if (pid_ > 0) return false;
    exitCode_ = -1;
    signal_ = 0;

    const int master = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (master < 0) return false;
    char slaveName[128];
    if (grantpt(master) != 0 || unlockpt(master) != 0 || ptsname_r(master, slaveName, sizeof slaveName) != 0) {
        close(master);
        return false;
    }
    const int slave = open(slaveName, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (slave < 0) {
        close(master);
        return false;
    }
    struct winsize size {};
    size.ws_row = 24;
    size.ws_col = 80;
    ioctl(slave, TIOCSWINSZ, &size);

    int errorPipe[2];
    if (pipe2(errorPipe, O_CLOEXEC) != 0) {
        close(slave);
        close(master);
        return false;
    }

    std::vector<std::string> argumentTexts = arguments;
    if (argumentTexts.empty()) argumentTexts.push_back(executable);
    std::vector<char*> argv = pointers(argumentTexts);
    std::vector<std::string> environmentTexts = toolEnvironment();
    std::vector<char*> envp = pointers(environmentTexts);

    const pid_t pid = fork();
    if (pid == 0) {
        close(errorPipe[0]);
        becomeTool(slave, errorPipe[1], executable.c_str(), argv.data(), envp.data());
    }
    close(slave);
    close(errorPipe[1]);
    if (pid < 0) {
        close(errorPipe[0]);
        close(master);
        return false;
    }

    // The pipe closes at a successful exec; an errno arrives when it failed.
    int childError = 0;
    ssize_t got;
    do {
        got = read(errorPipe[0], &childError, sizeof childError);
    } while (got < 0 && errno == EINTR);
    close(errorPipe[0]);
    if (got > 0) {
        int status = 0;
        while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
        }
        close(master);
        return false;
    }

    master_ = master;
    pid_ = pid;
    fcntl(master_, F_SETFL, fcntl(master_, F_GETFL) | O_NONBLOCK);
    notifier_ = new QSocketNotifier(master_, QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &PtyProcess::readOutput);
    exitPoll_->start();
    return true;
}

void PtyProcess::write(const QByteArray& bytes) {
    if (master_ < 0) return;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(master_, bytes.constData() + done, static_cast<size_t>(bytes.size() - done));
        if (written < 0) {
            if (errno == EINTR) continue;
            return;  // the tool has gone or reads nothing: the typing is lost
        }
        done += written;
    }
}

void PtyProcess::stop() {
    if (pid_ <= 0) return;
    killGroup(SIGTERM);
    killTimer_->start();
}

void PtyProcess::killGroup(int signal) {
    if (pid_ <= 0) return;
    // The tool leads its own session and group; helpers it started go too.
    if (kill(-static_cast<pid_t>(pid_), signal) != 0) kill(static_cast<pid_t>(pid_), signal);
}

void PtyProcess::readOutput() {
    if (master_ < 0) return;
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(master_, buffer, sizeof buffer);
        if (got > 0) {
            emit outputReceived(QByteArray(buffer, static_cast<qsizetype>(got)));
            continue;
        }
        if (got < 0 && errno == EINTR) continue;
        if (got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return;
        // EIO: no process holds the slave side any more.
        if (notifier_ != nullptr) notifier_->setEnabled(false);
        return;
    }
}

void PtyProcess::checkExit() {
    if (pid_ <= 0) return;
    int status = 0;
    const pid_t reaped = waitpid(static_cast<pid_t>(pid_), &status, WNOHANG);
    if (reaped == 0 || (reaped < 0 && errno == EINTR)) return;
    // waitpid fails only when someone else reaped the tool; its status is lost.
    finish(reaped < 0 ? -1 : status);
}

void PtyProcess::killAndWait() {
    if (pid_ <= 0) return;
    killGroup(SIGKILL);
    int status = 0;
    pid_t reaped;
    do {
        reaped = waitpid(static_cast<pid_t>(pid_), &status, 0);
    } while (reaped < 0 && errno == EINTR);
    finish(reaped < 0 ? -1 : status);
}

void PtyProcess::finish(int status) {
    exitPoll_->stop();
    killTimer_->stop();
    if (status == -1) {
        exitCode_ = -1;
    } else if (WIFEXITED(status)) {
        exitCode_ = WEXITSTATUS(status);
    } else if (WIFSIGNALED(status)) {
        exitCode_ = 128 + WTERMSIG(status);
        signal_ = WTERMSIG(status);
    }
    pid_ = 0;
    readOutput();  // what the tool wrote just before it ended
    // The terminal goes with the tool: helpers it left behind get SIGHUP
    // from the kernel, as in a closed terminal window.
    closeMaster();
    emit finished(exitCode_);
}

void PtyProcess::closeMaster() {
    if (notifier_ != nullptr) {
        notifier_->setEnabled(false);
        notifier_->deleteLater();
        notifier_ = nullptr;
    }
    if (master_ >= 0) {
        close(master_);
        master_ = -1;
    }
}

}  // namespace kestro

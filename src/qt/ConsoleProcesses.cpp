#include "ConsoleProcesses.h"

#include <QEventLoop>
#include <QPlainTextEdit>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include "PtyProcess.h"
#include "QtText.h"
#include "ToolConsole.h"

namespace kestro {

namespace {

constexpr int kExitPollMs = 20;
// What one turn of the event loop takes from the terminal: a tool that
// writes without pause still leaves the bar its turns for Stop and painting.
constexpr qsizetype kOutputPerTurn = 64 * 1024;
// Once the tool has ended, what is left in the terminal is shown; a helper
// that still writes to it gets this much, then the terminal closes on it.
constexpr int kTurnsAfterEnd = 64;

enum class Output { Pending, Drained, Closed };

// Moves up to kOutputPerTurn bytes of the tool's output to the console, and tells
// whether more is waiting, none for now, or none ever again.
Output showOutput(PtyProcess& process, ToolConsole& console) {
    QByteArray chunk;
    Output left = Output::Pending;
    while (chunk.size() < kOutputPerTurn) {
        const std::optional<std::string> bytes = process.readSome();
        if (!bytes || bytes->empty()) {
            left = bytes ? Output::Drained : Output::Closed;
            break;
        }
        chunk.append(bytes->data(), static_cast<qsizetype>(bytes->size()));
    }
    if (!chunk.isEmpty()) console.appendOutput(chunk);
    return left;
}

}  // namespace

ConsoleProcesses::ConsoleProcesses(QWidget* consoleOwner)
    : consoleOwner_(consoleOwner), killTimer_(new QTimer(this)) {
    killTimer_->setSingleShot(true);
    killTimer_->setInterval(kGraceBeforeKill);
    connect(killTimer_, &QTimer::timeout, this, [this] {
        if (current_ != nullptr) current_->signalGroup(SIGKILL);
    });
}

ConsoleProcesses::~ConsoleProcesses() = default;

bool ConsoleProcesses::isStartable(const std::string& path) { return platform_.isStartable(path); }

std::optional<std::string> ConsoleProcesses::environment(const std::string& name) {
    return platform_.environment(name);
}

int ConsoleProcesses::startNoWait(const ProcessRequest& request) { return platform_.startNoWait(request); }

ToolConsole* ConsoleProcesses::console() {
    if (console_ == nullptr) {
        console_ = new ToolConsole(consoleOwner_);
        connect(console_, &ToolConsole::stopRequested, this, &ConsoleProcesses::stopTool);
        connect(console_, &ToolConsole::lineEntered, this, [this](const QString& line) {
            const QByteArray typed = line.toUtf8() + '\n';
            if (current_ != nullptr) current_->write(std::string_view(typed.constData(), typed.size()));
        });
    }
    return console_;
}

ProcessEnd ConsoleProcesses::startAndWait(const ProcessRequest& request) {
    if (running_) return ProcessEnd{};  // one tool at a time; the bar takes no input meanwhile
    PtyProcess process;
    if (!process.start(request.executable, request.arguments)) return ProcessEnd{};

    ToolConsole* window = console();
    QSocketNotifier output(process.terminal(), QSocketNotifier::Read);
    connect(&output, &QSocketNotifier::activated, window, [&] {
        if (showOutput(process, *window) == Output::Closed) output.setEnabled(false);
    });
    const QString commandLine = fromBytes(request.commandLine);
    window->beginRun(commandLine);
    current_ = &process;
    running_ = true;
    emit toolStarted(commandLine);
    if (endInputAtStart_) process.write("\x04");

    QEventLoop loop;
    QTimer exitPoll;
    connect(&exitPoll, &QTimer::timeout, &loop, [&] {
        if (process.poll()) loop.quit();
    });
    exitPoll.start(kExitPollMs);
    loop.exec();
    // The loop also ends when the program quits (the desktop session ends)
    // while the tool still runs: the tool does not outlive the bar.
    if (process.isRunning()) process.killAndWait();
    killTimer_->stop();
    output.setEnabled(false);
    // What the tool wrote just before it ended.
    for (int turn = 0; turn < kTurnsAfterEnd && showOutput(process, *window) == Output::Pending; ++turn) {
    }
    process.closeTerminal();

    const int exitCode = process.end().exitCode;
    current_ = nullptr;
    running_ = false;
    window->endRun(exitCode);
    emit toolFinished(exitCode);
    return process.end();
}

void ConsoleProcesses::stopTool() {
    if (current_ == nullptr) return;
    current_->signalGroup(SIGTERM);
    killTimer_->start();
}

void ConsoleProcesses::hideConsole() {
    if (console_ != nullptr && !running_) console_->hide();
}

bool ConsoleProcesses::hasOutput() const {
    return console_ != nullptr && !console_->outputView()->document()->isEmpty();
}

void ConsoleProcesses::showConsole() { console()->showAgain(); }

void ConsoleProcesses::beginRoad() {
    console()->beginRoad();
}

void ConsoleProcesses::endRoad(bool failed) {
    if (console_ != nullptr) console_->endRoad(failed);
}

}  // namespace kestro

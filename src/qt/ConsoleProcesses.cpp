#include "ConsoleProcesses.h"

#include <QEventLoop>
#include <QWidget>

#include "PtyProcess.h"
#include "ToolConsole.h"

namespace kestro {

ConsoleProcesses::ConsoleProcesses(QWidget* consoleOwner) : consoleOwner_(consoleOwner) {}

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
            if (current_ != nullptr) current_->write(line.toUtf8() + '\n');
        });
    }
    return console_;
}

ProcessEnd ConsoleProcesses::startAndWait(const ProcessRequest& request) {
    if (running_) return ProcessEnd{};  // one tool at a time; the bar takes no input meanwhile
    PtyProcess process;
    if (!process.start(request.executable, request.arguments)) return ProcessEnd{};

    ToolConsole* window = console();
    connect(&process, &PtyProcess::outputReceived, window, &ToolConsole::appendOutput);
    const QString commandLine = QString::fromUtf8(request.commandLine.data(),
                                                  static_cast<qsizetype>(request.commandLine.size()));
    window->beginRun(commandLine);
    current_ = &process;
    running_ = true;
    emit toolStarted(commandLine);
    if (endInputAtStart_) process.write(QByteArray(1, '\x04'));

    QEventLoop loop;
    connect(&process, &PtyProcess::finished, &loop, &QEventLoop::quit);
    loop.exec();
    // The loop also ends when the program quits (the desktop session ends)
    // while the tool still runs: the tool does not outlive the bar.
    if (process.isRunning()) process.killAndWait();

    const int exitCode = process.exitCode();
    current_ = nullptr;
    running_ = false;
    window->endRun(exitCode);
    emit toolFinished(exitCode);
    return ProcessEnd{exitCode, process.endSignal()};
}

void ConsoleProcesses::stopTool() {
    if (current_ != nullptr) current_->stop();
}

void ConsoleProcesses::hideConsole() {
    if (console_ != nullptr && !running_) console_->hide();
}

void ConsoleProcesses::beginRoad() {
    console()->beginRoad();
}

void ConsoleProcesses::endRoad(bool failed) {
    if (console_ != nullptr) console_->endRoad(failed);
}

}  // namespace kestro

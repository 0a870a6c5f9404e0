// The bar's way of starting tools: a tool the bar waits for runs in the
// console window on a pseudo-terminal, while the event loop goes on so the
// bar repaints; everything else is the Linux platform's own.
#pragma once

#include <QObject>

#include "PosixProcesses.h"
#include "seam/Processes.h"

class QTimer;
class QWidget;

namespace kestro {

class PtyProcess;
class ToolConsole;

class ConsoleProcesses : public QObject, public Processes {
    Q_OBJECT

public:
    // `consoleOwner` owns the console window (the bar).
    explicit ConsoleProcesses(QWidget* consoleOwner);
    ~ConsoleProcesses() override;

    bool isStartable(const std::string& path) override;
    std::optional<std::string> environment(const std::string& name) override;
    // Runs the tool in the console window and waits in a nested event loop.
    ProcessEnd startAndWait(const ProcessRequest& request) override;
    int startNoWait(const ProcessRequest& request) override;

    PosixProcesses& platform() { return platform_; }
    ToolConsole* console();
    bool toolRunning() const { return running_; }

    // Ends the running tool as the Stop button does: SIGTERM to its process
    // group, SIGKILL when it still runs kGraceBeforeKill later.
    void stopTool();
    // The console window goes away (the bar closes).
    void hideConsole();
    // Whether a tool has run yet, and the console as the last road left it.
    bool hasOutput() const;
    void showConsole();

    // A road begins, and has ended (see ToolConsole).
    void beginRoad();
    void endRoad(bool failed);

    // Sends end-of-input to every tool right after it starts, so a tool that
    // prompts gets an empty answer instead of waiting (unattended runs).
    void setEndInputAtStart(bool on) { endInputAtStart_ = on; }

signals:
    void toolStarted(const QString& commandLine);
    void toolFinished(int exitCode);

private:
    QWidget* consoleOwner_;
    ToolConsole* console_ = nullptr;
    PosixProcesses platform_;
    PtyProcess* current_ = nullptr;
    QTimer* killTimer_;
    bool running_ = false;
    bool endInputAtStart_ = false;
};

}  // namespace kestro

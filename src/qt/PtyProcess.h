// One tool run on a pseudo-terminal: the tool's standard input, output and
// error are the terminal's slave side, in a session of its own; the bar
// reads and writes the master side. The program is executed directly with
// its argument vector, never through a shell.
#pragma once

#include <QByteArray>
#include <QObject>

#include <string>
#include <vector>

class QSocketNotifier;
class QTimer;

namespace kestro {

class PtyProcess : public QObject {
    Q_OBJECT

public:
    explicit PtyProcess(QObject* parent = nullptr);
    ~PtyProcess() override;

    // Starts `executable` with `arguments` (argv[0] first) in the current
    // directory. False when nothing could be started: no terminal, no
    // process, or an exec that failed (reported through a close-on-exec pipe).
    bool start(const std::string& executable, const std::vector<std::string>& arguments);

    bool isRunning() const { return pid_ > 0; }
    qint64 processId() const { return pid_; }

    // Types into the terminal: the tool reads it as keyboard input.
    void write(const QByteArray& bytes);

    // SIGTERM to the tool's process group, SIGKILL two seconds later if it
    // is still there.
    void stop();

    // Ends the tool at once and reaps it, without the event loop (the
    // program is quitting); finished() is emitted as usual.
    void killAndWait();

    // After finished(): the exit status, 128 + the signal number when a
    // signal ended the tool.
    int exitCode() const { return exitCode_; }
    // After finished(): the signal that ended the tool, 0 when none did.
    int endSignal() const { return signal_; }

signals:
    void outputReceived(const QByteArray& bytes);
    void finished(int exitCode);

private:
    void readOutput();
    void checkExit();
    void finish(int status);
    void killGroup(int signal);
    void closeMaster();

    int master_ = -1;
    qint64 pid_ = 0;
    int exitCode_ = -1;
    int signal_ = 0;
    QSocketNotifier* notifier_ = nullptr;
    QTimer* exitPoll_ = nullptr;
    QTimer* killTimer_ = nullptr;
};

}  // namespace kestro

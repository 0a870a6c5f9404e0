// The console window of the bar: while a tool runs it shows the tool's
// output live, takes a line of input for the tool's prompts, and can stop
// the tool. One window serves every tool of a road.
#pragma once

#include <QStringDecoder>
#include <QWidget>

#include "AnsiFilter.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kestro {

class ToolConsole : public QWidget {
    Q_OBJECT

public:
    explicit ToolConsole(QWidget* owner = nullptr);

    // A new tool run: its command line becomes the heading.
    void beginRun(const QString& commandLine);
    void appendOutput(const QByteArray& bytes);
    void endRun(int exitCode);

    QPlainTextEdit* outputView() const { return output_; }
    QLineEdit* inputLine() const { return input_; }
    QPushButton* stopButton() const { return stop_; }
    QPushButton* sendButton() const { return send_; }

signals:
    // The user typed a line (without its line break) for the tool.
    void lineEntered(const QString& line);
    // The user asked the running tool to end (Stop or the close box).
    void stopRequested();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void submitInput();
    void setRunning(bool running);
    void placeBelowOwner();

    AnsiFilter ansi_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QPlainTextEdit* output_;
    QLineEdit* input_;
    QPushButton* send_;
    QPushButton* stop_;
    bool running_ = false;
};

}  // namespace kestro

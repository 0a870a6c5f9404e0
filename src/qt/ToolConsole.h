// The console window of the bar: while a tool runs it shows the tool's
// output live, takes a line of input for the tool's prompts, and can stop
// the tool. One window serves every tool of a road; after a road that
// failed it stays open at the first error.
#pragma once

#include <QStringDecoder>
#include <QTextCursor>
#include <QWidget>

#include "AnsiFilter.h"
#include "WindowPlacement.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace kestro {

class ToolConsole : public PlacedBesideBar<QWidget> {
    Q_OBJECT

public:
    explicit ToolConsole(QWidget* owner = nullptr);

    // A new tool run: its command line becomes the heading.
    void beginRun(const QString& commandLine);
    void appendOutput(const QByteArray& bytes);
    void endRun(int exitCode);

    // A road (the tools of one button press) begins, and has ended: after
    // a failure the window stays open, scrolled to the road's first line
    // that begins with "!" (TeX's error) or else to the end, until the user
    // closes it or the next road begins; otherwise it goes.
    void beginRoad();
    void endRoad(bool failed);
    // Shows the window again as the last road left it.
    void showAgain();

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

    AnsiFilter ansi_;
    QStringDecoder decoder_{QStringDecoder::Utf8};
    QPlainTextEdit* output_;
    QLineEdit* input_;
    QPushButton* send_;
    QPushButton* stop_;
    bool running_ = false;
    bool ranInRoad_ = false;
    // Where the road's output begins; it keeps its place while text is
    // added after it or old lines drop off the top.
    QTextCursor roadStart_;
};

}  // namespace kestro

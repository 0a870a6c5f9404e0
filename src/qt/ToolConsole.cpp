#include "ToolConsole.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QVBoxLayout>

#include "ConsoleFont.h"

namespace kestro {

namespace {

constexpr int kMaximumLines = 20000;
// The console lays a line out again whenever text is added to it, so a tool
// that prints a megabyte without a line break would cost time growing with
// the square of its size: a longer line is shown broken into pieces.
constexpr qsizetype kPieceLength = 4000;

// `text` with a line break wherever a line (one of `lineLength` characters
// so far) would grow past kPieceLength; never inside a surrogate pair.
QString inPieces(const QString& text, qsizetype lineLength) {
    QString pieces;
    pieces.reserve(text.size() + text.size() / kPieceLength + 1);
    for (const QChar c : text) {
        if (c == QLatin1Char('\n')) {
            lineLength = 0;
        } else if (lineLength >= kPieceLength && !c.isLowSurrogate()) {
            pieces += QLatin1Char('\n');
            lineLength = 1;
        } else {
            ++lineLength;
        }
        pieces += c;
    }
    return pieces;
}

}  // namespace

ToolConsole::ToolConsole(QWidget* owner) : PlacedBesideBar<QWidget>(owner, Qt::Window) {
    setObjectName("toolConsole");
    keepOthersClearOf(this);
    setWindowTitle(QStringLiteral("Kestro: TeX"));

    output_ = new QPlainTextEdit(this);
    output_->setObjectName("consoleOutput");
    output_->setReadOnly(true);
    output_->setMaximumBlockCount(kMaximumLines);
    output_->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    const QFont fixed = consoleFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    output_->setFont(fixed);
    const QFontMetrics metrics(fixed);
    output_->setMinimumSize(metrics.horizontalAdvance(QLatin1Char('M')) * 82, metrics.lineSpacing() * 20);

    input_ = new QLineEdit(this);
    input_->setObjectName("consoleInput");
    input_->setPlaceholderText(QStringLiteral("入力して Enter (TeX の ? には x で中止)"));
    send_ = new QPushButton(QStringLiteral("送信"), this);
    send_->setObjectName("consoleSend");
    stop_ = new QPushButton(QStringLiteral("中止"), this);
    stop_->setObjectName("consoleStop");
    stop_->setToolTip(QStringLiteral("実行中のプログラムを終了します"));

    auto* inputRow = new QHBoxLayout;
    inputRow->addWidget(input_, 1);
    inputRow->addWidget(send_);
    inputRow->addWidget(stop_);
    auto* column = new QVBoxLayout(this);
    column->addWidget(output_, 1);
    column->addLayout(inputRow);

    connect(input_, &QLineEdit::returnPressed, this, &ToolConsole::submitInput);
    connect(send_, &QPushButton::clicked, this, &ToolConsole::submitInput);
    connect(stop_, &QPushButton::clicked, this, &ToolConsole::stopRequested);
    setRunning(false);
}

void ToolConsole::beginRun(const QString& commandLine) {
    setWindowTitle(QStringLiteral("Kestro: ") + commandLine);
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    if (!output_->document()->isEmpty()) cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(QStringLiteral("$ ") + commandLine + QLatin1Char('\n'));
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
    decoder_.resetState();
    ranInRoad_ = true;
    setRunning(true);
    if (!isVisible()) show();
    raise();
    activateWindow();
    input_->setFocus();
}

void ToolConsole::appendOutput(const QByteArray& bytes) {
    const QString text = decoder_.decode(ansi_.filter(bytes));
    if (text.isEmpty()) return;
    QScrollBar* bar = output_->verticalScrollBar();
    const bool atEnd = bar->value() == bar->maximum();
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(inPieces(text, cursor.positionInBlock()));
    if (atEnd) bar->setValue(bar->maximum());
}

void ToolConsole::endRun(int exitCode) {
    QTextCursor cursor(output_->document());
    cursor.movePosition(QTextCursor::End);
    if (!cursor.atBlockStart()) cursor.insertText(QStringLiteral("\n"));
    cursor.insertText(QStringLiteral("[終了コード %1]").arg(exitCode));
    output_->verticalScrollBar()->setValue(output_->verticalScrollBar()->maximum());
    setRunning(false);
}

void ToolConsole::beginRoad() {
    ranInRoad_ = false;
    roadStart_ = QTextCursor(output_->document());
    roadStart_.movePosition(QTextCursor::End);
    roadStart_.setKeepPositionOnInsert(true);
    hide();
}

void ToolConsole::endRoad(bool failed) {
    // A road that ran no tool has nothing here to read.
    if (!failed || !ranInRoad_) {
        hide();
        return;
    }
    QTextCursor target(output_->document());
    target.movePosition(QTextCursor::End);
    for (QTextBlock block = roadStart_.block(); block.isValid(); block = block.next()) {
        if (block.text().startsWith(QLatin1Char('!'))) {
            target = QTextCursor(block);
            break;
        }
    }
    if (!isVisible()) show();
    output_->setTextCursor(target);
    // The error line at the top, with as much as follows it below.
    output_->verticalScrollBar()->setValue(target.block().firstLineNumber());
    raise();
}

void ToolConsole::showAgain() {
    show();
    raise();
    activateWindow();
}

void ToolConsole::submitInput() {
    if (!running_) return;
    const QString line = input_->text();
    input_->clear();
    emit lineEntered(line);
}

void ToolConsole::setRunning(bool running) {
    running_ = running;
    input_->setEnabled(running);
    send_->setEnabled(running);
    stop_->setEnabled(running);
}

void ToolConsole::closeEvent(QCloseEvent* event) {
    // Closing the console of a running tool ends the tool, as closing a
    // terminal window does; the window itself goes when the road is over.
    if (running_) {
        event->ignore();
        emit stopRequested();
        return;
    }
    QWidget::closeEvent(event);
}

}  // namespace kestro

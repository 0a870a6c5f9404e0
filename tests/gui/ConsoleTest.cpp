// The console window of the bar: tools on a pseudo-terminal, their output
// live, typed answers, Stop, and the exit codes the core relies on.
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <memory>

#include "AnsiFilter.h"
#include "ConsoleProcesses.h"
#include "GuiTestSupport.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

namespace {

ProcessRequest request(const QString& program, const QStringList& arguments = {}) {
    ProcessRequest start;
    start.executable = bytes(program);
    start.arguments.push_back(bytes(program));
    for (const QString& argument : arguments) start.arguments.push_back(bytes(argument));
    start.commandLine = bytes(program + (arguments.isEmpty() ? QString() : " " + arguments.join(' ')));
    return start;
}

}  // namespace

class ConsoleTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Workspace> work;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<ConsoleProcesses> processes;

    QString shown() const { return processes->console()->outputView()->toPlainText(); }

    // Runs `during` from the event loop once the tool is running.
    void whileRunning(const std::function<void()>& during) {
        QTimer::singleShot(0, [this, during] {
            if (waitFor([this] { return processes->toolRunning(); }, 5000)) during();
        });
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        work = std::make_unique<Workspace>();
        owner = std::make_unique<QWidget>();
        owner->show();
        processes = std::make_unique<ConsoleProcesses>(owner.get());
    }
    void cleanup() {
        processes.reset();
        owner.reset();
        work.reset();
    }

    void typedLineReachesTheToolAndItsExitCodeComesBack() {
        const QString tool = work->script(QStringLiteral("ask"),
                                          "echo 'Exit code?'\nread code\necho \"leaving with $code\"\nexit \"$code\"\n");
        whileRunning([this] {
            QVERIFY(waitFor([this] { return shown().contains(QStringLiteral("Exit code?")); }, 5000));
            QLineEdit* input = processes->console()->inputLine();
            QVERIFY(input->isEnabled());
            QTest::keyClicks(input, QStringLiteral("42"));
            QTest::keyClick(input, Qt::Key_Return);
            QVERIFY(input->text().isEmpty());
        });
        QCOMPARE(processes->startAndWait(request(tool)).exitCode, 42);
        QVERIFY(shown().contains(QStringLiteral("leaving with 42")));
        QVERIFY(shown().contains(QStringLiteral("[終了コード 42]")));
        QVERIFY(!processes->console()->inputLine()->isEnabled());
        QVERIFY(!processes->console()->stopButton()->isEnabled());
    }

    // Stop, the stop call on a tool that ignores SIGTERM (killed two
    // seconds later), and closing the console while the tool runs.
    void stoppingEndsTheTool_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("how");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<int>("atLeastMs");
        QTest::newRow("stop button") << QByteArray("echo ready\nwhile :; do sleep 1; done\n") << "button" << 143 << 0;
        QTest::newRow("ignores SIGTERM") << QByteArray("trap '' TERM\necho ready\nwhile :; do sleep 0.1; done\n")
                                         << "call" << 128 + 9 << 1900;
        QTest::newRow("console closed") << QByteArray("echo ready\nwhile :; do sleep 1; done\n") << "close" << 143
                                        << 0;
    }

    void stoppingEndsTheTool() {
        QFETCH(QByteArray, body);
        QFETCH(QString, how);
        QFETCH(int, exitCode);
        QFETCH(int, atLeastMs);
        QElapsedTimer clock;
        whileRunning([&] {
            QVERIFY(waitFor([this] { return shown().contains(QStringLiteral("ready")); }, 5000));
            clock.start();
            if (how == "button") QTest::mouseClick(processes->console()->stopButton(), Qt::LeftButton);
            if (how == "call") processes->stopTool();
            if (how == "close") processes->console()->close();
        });
        QCOMPARE(processes->startAndWait(request(work->script(QStringLiteral("tool"), body))).exitCode, exitCode);
        QVERIFY(clock.elapsed() >= atLeastMs);
    }

    void nothingStartedReadsAsMinusOne() {
        QCOMPARE(processes->startAndWait(request(work->write(QStringLiteral("plain.txt"), "not a program\n"))).exitCode, -1);
        QCOMPARE(processes->startAndWait(request(work->path(QStringLiteral("missing")))).exitCode, -1);
        const QString badInterpreter = work->write(QStringLiteral("bad"), "#!/no/such/interpreter\n");
        QFile::setPermissions(badInterpreter, QFile::ReadOwner | QFile::ExeOwner);
        QCOMPARE(processes->startAndWait(request(badInterpreter)).exitCode, -1);
        QVERIFY(!processes->toolRunning());
    }

    void toolsRunOnATerminalWithTheirWordsUnchanged() {
        const QString tool = work->script(QStringLiteral("check"),
                                          "[ -t 0 ] && [ -t 1 ] && [ -t 2 ] || exit 9\n"
                                          "printf '[%s]\\n' \"$1\" \"$2\"\nexit 0\n");
        const int code = processes->startAndWait(
            request(tool, {QStringLiteral("a; echo injected"), QStringLiteral("$(touch pwned) 日本語")})).exitCode;
        QCOMPARE(code, 0);
        QVERIFY2(shown().contains(QStringLiteral("[a; echo injected]")), qPrintable(shown()));
        QVERIFY(shown().contains(QStringLiteral("[$(touch pwned) 日本語]")));
        QVERIFY(!QFile::exists(QStringLiteral("pwned")));
    }

    void endOfInputAtStartLetsAPromptingToolGoOn() {
        processes->setEndInputAtStart(true);
        QCOMPARE(processes->startAndWait(request(work->script(QStringLiteral("prompt"), "read line || exit 3\n"))).exitCode, 3);
    }

    void ansiSequencesAndCarriageReturnsAreFilteredAcrossChunks() {
        AnsiFilter filter;
        QByteArray out = filter.filter("\x1b[1;31mred\x1b[0m\r\n");
        out += filter.filter("\x1b]0;title\x07ok\x1b[");
        out += filter.filter("2Kdone\r");
        out += filter.filter("\nab\bc\x1b]2;t\x1b\\!");
        QCOMPARE(out, QByteArray("red\nokdone\nac!"));
    }

    void multiByteTextSplitBetweenReadsShowsWhole() {
        ToolConsole console;
        console.beginRun(QStringLiteral("tool"));
        const QByteArray japanese = QStringLiteral("日本語の出力\n").toUtf8();
        console.appendOutput(japanese.left(4));
        console.appendOutput(japanese.mid(4));
        console.endRun(0);
        QVERIFY2(console.outputView()->toPlainText().contains(QStringLiteral("日本語の出力")),
                 qPrintable(console.outputView()->toPlainText()));
        QVERIFY(!console.outputView()->toPlainText().contains(QChar::ReplacementCharacter));
    }
};

QTEST_MAIN(ConsoleTest)
#include "ConsoleTest.moc"

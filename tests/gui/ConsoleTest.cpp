// The bar's console window: tools on a pseudo-terminal with their words
// unchanged, their output live, typed answers, Stop, and the exit codes
// the core relies on.
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "ConsoleProcesses.h"
#include "GuiTestSupport.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

class ConsoleTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScratchDirectory> work;
    std::unique_ptr<QWidget> owner;
    std::unique_ptr<ConsoleProcesses> processes;

    QString shown() const { return processes->console()->outputView()->toPlainText(); }
    // Runs `script` with `arguments`; `during` runs from the event loop
    // once the tool's output shows `ready`.
    int run(const std::string& script, std::vector<std::string> arguments = {}, const QString& ready = {},
            const std::function<void()>& during = {}) {
        const std::string tool = writeScript(*work / "tool", script);
        if (during) {
            QTimer::singleShot(0, [this, ready, during] {
                if (waitFor([&] { return processes->toolRunning() && shown().contains(ready); }, 5000)) during();
            });
        }
        arguments.insert(arguments.begin(), tool);
        return processes->startAndWait({tool, tool, arguments}).exitCode;
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        work = std::make_unique<ScratchDirectory>();
        owner = std::make_unique<QWidget>();
        owner->show();
        processes = std::make_unique<ConsoleProcesses>(owner.get());
    }
    void cleanup() {
        processes.reset();
        owner.reset();
        work.reset();
    }

    void aTypedLineReachesTheToolOnItsTerminalAndItsExitCodeComesBack() {
        const int code = run("[ -t 0 ] && [ -t 1 ] || exit 9\nprintf '[%s]\\n' \"$1\"\necho 'Exit code?'\nread code\n"
                             "exit \"$code\"",
                             {"a; echo injected $(touch pwned) 日本語"}, QStringLiteral("Exit code?"), [this] {
                                 QTest::keyClicks(processes->console()->inputLine(), QStringLiteral("42"));
                                 QTest::keyClick(processes->console()->inputLine(), Qt::Key_Return);
                             });
        QCOMPARE(code, 42);
        QVERIFY2(shown().contains(QStringLiteral("[a; echo injected $(touch pwned) 日本語]")), qPrintable(shown()));
        QVERIFY(shown().contains(QStringLiteral("[終了コード 42]")));
        QVERIFY(!processes->console()->inputLine()->isEnabled() && !processes->console()->stopButton()->isEnabled());
        QVERIFY(!fs::exists("pwned"));
        // An unattended run gives a prompting tool the end of its input.
        processes->setEndInputAtStart(true);
        QCOMPARE(run("read line || exit 3"), 3);
    }

    // Stop, the stop call on a tool that ignores SIGTERM (killed two
    // seconds later), and closing the console while the tool runs; what
    // cannot start reads as -1.
    void stoppingEndsTheTool() {
        const std::tuple<std::string, std::function<void()>, int, int> rows[] = {
            {"", [this] { QTest::mouseClick(processes->console()->stopButton(), Qt::LeftButton); }, 143, 0},
            {"trap '' TERM\n", [this] { processes->stopTool(); }, 137, 1900},
            {"", [this] { processes->console()->close(); }, 143, 0},
        };
        int row = 0;
        for (const auto& [prefix, stop, code, atLeastMs] : rows) {
            QElapsedTimer clock;
            const std::string ready = "ready " + std::to_string(++row);  // the console keeps earlier runs
            QCOMPARE(run(prefix + "echo " + ready + "\nwhile :; do sleep 0.1; done", {}, text(ready),
                         [&] {
                             clock.start();
                             stop();
                         }),
                     code);
            QVERIFY(clock.elapsed() >= atLeastMs);
        }
        writeFile(*work / "bad", "#!/no/such/interpreter\n");
        ::chmod((*work / "bad").c_str(), 0755);
        QCOMPARE(processes->startAndWait({*work / "bad", "", {*work / "bad"}}).exitCode, -1);
        QVERIFY(!processes->toolRunning());
    }

};

QTEST_MAIN(ConsoleTest)
#include "ConsoleTest.moc"

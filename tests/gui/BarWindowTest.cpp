// The Qt bar, its dialogs and its console driven as a user drives them:
// each control reaches its operation, and what only the Linux bar does (the
// console: a pseudo-terminal, Stop; no input while a tool runs; its file
// dialog filters, its start-up, Qt's own words).
#include <QAbstractItemView>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QLabel>
#include <QLibraryInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRawFont>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

#include "GuiTestSupport.h"
#include "AnsiFilter.h"
#include "ConsoleFont.h"
#include "DialogUnits.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "QtTranslations.h"
#include "StartupEnvironment.h"
#include "ToolConsole.h"
#include "WindowPlacement.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"

using namespace kestro;
using namespace kestro::test;

class BarWindowTest : public QObject {
    Q_OBJECT

    // A scratch directory, a stand-in user, the fake TeX tools, and a bar on
    // the directory's Kestro.ini once start() is called.
    std::unique_ptr<ScratchDirectory> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<FakeTex> tex;
    std::unique_ptr<BarSession> session;
    std::string document;
    void reset() {
        session.reset();
        user.reset();
        work = std::make_unique<ScratchDirectory>();
        user = std::make_unique<ModalAnswerer>();
        tex = std::make_unique<FakeTex>(*work);
    }
    // A bar started on `ini` with `document` (empty: the first history entry).
    BarSession& start(const std::string& ini, const std::string& document = "") {
        writeFile(*work / "Kestro.ini", ini);
        session = std::make_unique<BarSession>(*work / "Kestro.ini", "kestro", document);
        session->start();
        return *session;
    }
    QtBarWindow& startBar(const std::string& ini) { return start(ini, document).window(); }
    std::string documentPath() { return session->core().state().documentPath; }
    void click(BarControl control) { QTest::mouseClick(session->window().button(control), Qt::LeftButton); }

    // Answers the next dialog of type T with `answer`.
    template <typename T>
    void whenOpen(const std::function<void(T*)>& answer) {
        user->handler = [answer](QWidget* window) {
            auto* dialog = qobject_cast<T*>(window);
            if (dialog != nullptr) answer(dialog);
            return dialog != nullptr;
        };
    }
    bool stored(const std::string& line) { return readFile(*work / "Kestro.ini").value_or("").find(line) != std::string::npos; }
    ToolConsole* console() { return session->processes().console(); }
    QString shown() { return console()->outputView()->toPlainText(); }
    // Runs `script` with `arguments` on the console; `during` runs from the
    // event loop once the tool's output shows `ready`.
    int run(const std::string& script, std::vector<std::string> arguments = {}, const QString& ready = {},
            const std::function<void()>& during = {}) {
        const std::string tool = writeScript(*work / "tool", script);
        QTimer::singleShot(0, [this, ready, during] {
            if (during && QTest::qWaitFor([&] { return session->processes().toolRunning() && shown().contains(ready); }, 5000)) during();
        });
        arguments.insert(arguments.begin(), tool);
        return session->processes().startAndWait({tool, tool, arguments}).exitCode;
    }

private slots:
    void initTestCase() {
        QApplication::setQuitOnLastWindowClosed(false);
        // Started by aSignalDuringARoadStopsTheToolAndEndsTheBar, this
        // process is the bar, whose road a signal ends with the process.
        if (const std::string folder = qEnvironmentVariable("KESTRO_TEST_ROAD_DIR").toStdString(); !folder.empty()) {
            writeFile(folder + "/Kestro.ini", "[Settings]\nTeX=" + writeScript(folder + "/tex", "echo $$ >p && mv p pid\nsleep 60") + "\n");
            BarSession bar(folder + "/Kestro.ini", "kestro", folder + "/paper.tex");
            bar.endOnTerminationSignals();
            bar.start();
            bar.window().button(BarControl::Tex)->click();
            QFAIL("the road went on");
        }
    }
    void init() {
        reset();
        document = *work / "論文 2024/paper.tex";
        writeFile(document, "\\documentclass{jarticle}\n");
        qputenv("KESTRO_OPENER", QByteArray::fromStdString(*work / "no-opener"));
    }
    void cleanup() { reset(); }

    // Each button starts its program in the document's folder; a failure
    // comes back as the user's message.
    void buttonsReachTheirOperations() {
        const std::string folder = *work / "論文 2024";
        const QByteArray path = qgetenv("PATH");
        // The control, the settings, the program that ran with its arguments,
        // and a part of the message shown.
        const std::tuple<BarControl, std::string, std::string, std::string, QString> rows[] = {
            {BarControl::Edit, "[Editor]\nEDIT=" + tex->tool("editor", ""), "editor", "[" + document + "]", ""},
            {BarControl::Tex, "[Settings]\nTeX=" + tex->tool("fake-platex", "exit 1"), "fake-platex", "[paper]", ""},
            {BarControl::OneClick, "[Settings]\nTeX=" + tex->path("fake-platex"), "fake-platex", "[paper]", "TeX の変更"},
            {BarControl::Pdf, "", "opener", "[paper.pdf]", ""},
            {BarControl::CommandPrompt, "", "x-terminal-emulator", "", ""},
        };
        tex->tool("x-terminal-emulator", "");
        qputenv("KESTRO_OPENER", QByteArray::fromStdString(tex->tool("opener", "")));
        qputenv("PATH", QByteArray::fromStdString(tex->bin() + ":") + path);
        writeFile(folder + "/paper.pdf", "%PDF-1.5\n");
        for (const auto& [control, ini, program, arguments, message] : rows) {
            fs::remove(*work / "record.txt");
            startBar(ini);
            QVERIFY(!session->window().button(control)->icon().isNull() && !session->window().windowIcon().isNull());
            QVERIFY(!session->window().button(control)->geometry().intersects(session->window().historyBox()->geometry()));
            click(control);
            QVERIFY(QTest::qWaitFor([&] { return !tex->recorded().empty(); }, 10000));
            QCOMPARE(tex->recorded(), std::vector{FakeTex::ran(program, arguments, folder)});
            if (control == BarControl::Tex) QVERIFY(shown().contains(QStringLiteral("[終了コード 1]")));
            QCOMPARE(user->messages.size(), message.isEmpty() ? 0 : 1);
            if (!message.isEmpty()) QVERIFY(user->messages.last().contains(message));
            QVERIFY(QApplication::overrideCursor() == nullptr);  // the wait cursor is gone again
            user->messages.clear();
        }
        qputenv("PATH", path);
    }

    // The file button's dialog and a drop from the file manager set the document.
    void theFileButtonAndDropsSetTheDocument() {
        const std::string chosen = *work / "other/chapter.tex", first = *work / "drop/図表.TEX";
        for (const std::string& file : {chosen, first}) writeFile(file, "x");
        QtBarWindow& bar = startBar("");
        QStringList filters;
        whenOpen<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            acceptFileDialog(dialog, chosen);
        });
        click(BarControl::ChooseFile);
        QCOMPARE(filters, QStringList{QStringLiteral("TeX file (*.tex)")});
        QCOMPARE(documentPath(), chosen);
        drop(&bar, {first});
        QCOMPARE(documentPath(), first);
        QCOMPARE(bar.historyBox()->itemText(0), text(first));
        // Typed text is never a choice, not even an entry's name and Enter.
        bar.historyBox()->clearEditText();
        QTest::keyClicks(bar.historyBox()->lineEdit(), text(chosen));
        QCOMPARE(bar.historyBox()->currentText(), text(chosen));
        QTest::keyClick(bar.historyBox()->lineEdit(), Qt::Key_Return);
        QCOMPARE(documentPath(), first);
        QVERIFY(bar.historyBox()->maxVisibleItems() >= 16);  // a full history opens without a scroll bar
    }

    // A tooltip is the core's text; the context menu opens the version box
    // and shows the console of the last road again; a logout the user
    // cancels writes the history and the bar goes on; Escape ends it.
    void theMenuTooltipsAndEndsReachTheCore() {
        QtBarWindow& bar = startBar("");
        QCOMPARE(bar.button(BarControl::Tex)->toolTip(), text(BarWindow::tooltipText(PlatformRules::posix(), 1002)).trimmed());
        QCOMPARE(bar.windowTitle(), QStringLiteral("Kestro: Drag & Drop TeX file"));
        run("echo warning");
        session->processes().endRoad(false);
        QString title;
        user->handler = [&](QWidget* w) { return title = w->windowTitle() + ' ' + w->findChild<QLabel*>("aboutLine2")->text(), false; };
        for (const int entry : {2, 0}) {
            QTimer::singleShot(50, [entry] {
                auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
                menu->actions().value(entry)->trigger();
                menu->close();
            });
            QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar.mapToGlobal(QPoint(2, 2)));
            QApplication::sendEvent(&bar, &event);
            QVERIFY(console()->isVisible());
        }
        QVERIFY(QTest::qWaitFor([&] { return title == QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報 Linux 版"); }, 3000));
        session->commitData();
        QVERIFY(stored("File0=" + document));
        QTest::keyClick(&bar, Qt::Key_Escape);
        QVERIFY(!bar.isVisible() && session->core().ended());
    }

    // While a tool runs, buttons, drops, keys and the history list go
    // nowhere, and a close request waits for the road; the user answers the
    // tool in the console. After a failed road the console stays beside the
    // bar at TeX's error.
    void theBarTakesNoInputWhileAToolRunsAndTheConsoleKeepsAFailure() {
        const std::string tex = writeScript(*work / "tex/platex", "seq 1 80\necho '! Undefined control sequence.'\nseq 1 80\n"
                                                           "read line\nprintf '%s' \"$line\" > answer\nexit 1\n");
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex + "\n");
        ToolConsole* console = this->console();
        bool checked = false, consoleAtError = false;
        connect(&bar, &QtBarWindow::operationFinished, this, [&] {
            consoleAtError = console->isVisible() && !console->frameGeometry().intersects(bar.frameGeometry()) &&
                             console->outputView()->cursorForPosition(QPoint(1, 1)).block().text() ==
                                 QStringLiteral("! Undefined control sequence.");
        });
        QTimer::singleShot(0, [&] {
            QVERIFY(QTest::qWaitFor([&] { return session->processes().toolRunning(); }, 5000));
            QVERIFY(bar.inputBlocker()->engaged());
            click(BarControl::Pdf);
            QTest::keyClick(&bar, Qt::Key_Escape);
            drop(&bar, {document});
            bar.historyBox()->setFocus();
            QTest::keyClick(bar.historyBox(), Qt::Key_Down);
            QVERIFY(!bar.historyBox()->view()->isVisible());
            QVERIFY(!bar.close());
            QTest::keyClicks(console->inputLine(), QStringLiteral("x"));
            QTest::keyClick(console->inputLine(), Qt::Key_Return);
            checked = true;
        });
        click(BarControl::Tex);
        QVERIFY(checked);
        QCOMPARE(readFile(*work / "論文 2024/answer"), "x");
        QVERIFY(user->messages.isEmpty());
        QVERIFY(consoleAtError);
        // Then the deferred close, with the history; the console goes with the bar.
        QVERIFY(!bar.isVisible() && !bar.inputBlocker()->engaged() && !console->isVisible());
        QVERIFY(stored("File0=" + document));
    }

    // SIGTERM during a road stops the tool, writes the history and ends the
    // bar, and so the process: the test starts itself as that bar.
    void aSignalDuringARoadStopsTheToolAndEndsTheBar() {
        QProcess bar;
        qputenv("KESTRO_TEST_ROAD_DIR", QByteArray::fromStdString(*work / "論文 2024"));
        bar.start(QCoreApplication::applicationFilePath());
        qunsetenv("KESTRO_TEST_ROAD_DIR");
        const std::optional<std::string> tool = waitForFile(*work / "論文 2024/pid");
        QVERIFY(tool && ::kill(bar.processId(), SIGTERM) == 0 && bar.waitForFinished(10000) && bar.exitCode() == 0);
        QVERIFY(::kill(std::stoi(*tool), 0) != 0 && readFile(*work / "論文 2024/Kestro.ini")->find("File0=" + document) != std::string::npos);
    }

    // A tool on the console gets its words unchanged on a terminal, and a
    // typed answer; its exit code comes back. An unattended run gives a
    // prompting tool the end of its input.
    void aTypedLineReachesTheToolOnTheConsoleAndItsExitCodeComesBack() {
        startBar("");
        const int code = run("[ -t 0 ] && [ -t 1 ] || exit 9\nprintf '[%s]\\n' \"$1\"\necho 'Exit code?'\nread code\n"
                             "exit \"$code\"",
                             {"a; echo injected $(touch pwned) 日本語"}, QStringLiteral("Exit code?"), [this] {
                                 QTest::keyClicks(console()->inputLine(), QStringLiteral("42"));
                                 QTest::keyClick(console()->inputLine(), Qt::Key_Return);
                             });
        QCOMPARE(code, 42);
        QVERIFY2(shown().contains(QStringLiteral("[a; echo injected $(touch pwned) 日本語]")), qPrintable(shown()));
        QVERIFY2(shown().endsWith(QStringLiteral("42\n[終了コード 42]")), qPrintable(shown()));
        QVERIFY(console()->inputLine()->placeholderText().contains(QStringLiteral("x で中止")));
        QVERIFY(!console()->inputLine()->isEnabled() && !console()->stopButton()->isEnabled() && !fs::exists("pwned"));
        // Colours, a key's sequence ending in ~, a title: none of it is text.
        QCOMPARE(AnsiFilter().filter("\x1b[1;31mred\x1b[0m \x1b[3~x\x1b]0;title\x07!"), QByteArray("red x!"));
        session->processes().setEndInputAtStart(true);
        QCOMPARE(run("read line || exit 3"), 3);
    }

    // Stop, the stop call on a tool that ignores SIGTERM (killed two
    // seconds later), and closing the console end the tool, Stop within a
    // second also while a tool prints without pause; what cannot start
    // reads as -1. A megabyte on one line is all shown, at once.
    void stoppingEndsTheToolOnTheConsole() {
        startBar("");
        const std::tuple<std::string, std::function<void()>, int, int> rows[] = {
            {"", [this] { QTest::mouseClick(console()->stopButton(), Qt::LeftButton); }, 143, 0},
            {"trap '' TERM\n", [this] { session->processes().stopTool(); }, 137, 1900},
            {"", [this] { console()->close(); }, 143, 0},
        };
        int row = 0;
        for (const auto& [prefix, stop, code, atLeastMs] : rows) {
            QElapsedTimer clock;
            const std::string ready = "ready " + std::to_string(++row);  // the console keeps earlier runs
            const auto during = [&] { clock.start(), stop(); };
            QCOMPARE(run(prefix + "echo " + ready + "\nwhile :; do sleep 0.1; done", {}, text(ready), during), code);
            QVERIFY(clock.elapsed() >= atLeastMs);
        }
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(500, [this] { QTest::mouseClick(console()->stopButton(), Qt::LeftButton); });
        QCOMPARE(run("yes"), 143);
        QVERIFY(clock.elapsed() < 1500);
        clock.restart();
        QCOMPARE(run("head -c 1048576 /dev/zero | tr '\\0' ="), 0);
        QVERIFY(clock.elapsed() < 10000);
        QCOMPARE(shown().count(QLatin1Char('=')), 1048576);
        writeFile(*work / "bad", "#!/no/such/interpreter\n");
        ::chmod((*work / "bad").c_str(), 0755);
        QCOMPARE(session->processes().startAndWait({*work / "bad", "", {*work / "bad"}}).exitCode, -1);
        QVERIFY(!session->processes().toolRunning());
    }

    // The paper dialog opens on the stored keys, a click on a box reaches
    // the model, a radio button is a size, Enter is OK; the index dialog's
    // text and box reach the file, its Cancel changes nothing.
    void theDialogsControlsReachTheirModels() {
        BarSession& bar = start("[Settings]\nPdfNeShow=1\nPdfSizeNo=4\n");
        whenOpen<QtPaperSizeDialog>([](QtPaperSizeDialog* dialog) {
            QVERIFY(dialog->radioAt(4)->isChecked() && dialog->skipFromNowOnBox()->isChecked());
            const QList<QLabel*> texts = dialog->findChildren<QLabel*>();
            QVERIFY(std::ranges::any_of(texts, [](QLabel* l) { return l->text().startsWith(QStringLiteral("DVI から PDF")); }));
            clickBox(dialog->skipUntilRestartBox());
            QVERIFY(!dialog->skipFromNowOnBox()->isChecked());
            clickBox(dialog->radioAt(7));
            QTest::keyClick(dialog, Qt::Key_Return);
        });
        QCOMPARE(choosePaperSize(bar.core().state(), bar.core().services()), 1);
        for (const char* key : {"PdfNShow=1", "PdfNeShow=0", "PdfSizeNo=7"}) QVERIFY(stored(key));
        for (const bool ok : {true, false}) {
            whenOpen<QtIndexOptionsDialog>([ok](QtIndexOptionsDialog* dialog) {
                QCOMPARE(dialog->optionsEdit()->text(), ok ? QString() : QStringLiteral("-s 索引"));
                dialog->optionsEdit()->setFocus();
                QTest::keyClicks(dialog->optionsEdit(), QStringLiteral("  -s "));
                dialog->optionsEdit()->insert(QStringLiteral("索引 "));
                if (ok) clickBox(dialog->neverShowBox());
                QTest::mouseClick(dialog->findChild<QPushButton*>(ok ? "button1" : "button2"), Qt::LeftButton);
            });
            editIndexOptions(bar.core().state(), bar.core().services());
            QCOMPARE(text(bar.core().state().indexOptions), QStringLiteral("  -s 索引 "));
            QCOMPARE(bar.core().state().indexDialogNever, 1);
        }
    }

    // Each button of the panel opens its operation's windows; Close is the
    // default; the bar re-reads what the panel stored. The boxes read
    // キャンセル whatever the desktop's language, beside the bar.
    void theSettingsPanelsButtonsRunTheirOperations() {
        BarSession& bar = start("");
        const std::string compiler = writeScript(*work / "tex/bin/platex", "exit 0");
        QStringList seen;
        bool closeIsDefault = false, boxesRight = true;
        user->handler = [&](QWidget* window) {
            seen << window->objectName();
            if (auto* panel = qobject_cast<QtSettingsDialog*>(window)) {
                closeIsDefault = panel->button(1)->isDefault();
                for (int id : {32774, 32772, 32777, 32776, 1004, 1}) {
                    panel->button(id)->setFocus();
                    QTest::keyClick(panel->button(id), Qt::Key_Return);
                }
                return true;
            }
            if (auto* box = qobject_cast<QMessageBox*>(window)) {
                boxesRight &= box->button(QMessageBox::Cancel)->text() == QStringLiteral("キャンセル") &&
                              !box->frameGeometry().intersects(bar.window().frameGeometry());
                box->button(box->text().startsWith(QStringLiteral("TeX の compiler")) ? QMessageBox::Ok : QMessageBox::Cancel)
                    ->click();
                return true;
            }
            if (qobject_cast<QFileDialog*>(window) == nullptr || seen.count(window->objectName()) != 1) return false;
            acceptFileDialog(window, compiler);
            return true;
        };
        bar.window().button(BarControl::Settings)->click();
        QVERIFY(closeIsDefault && boxesRight);
        QCOMPARE(seen, (QStringList{"settingsDialog", "kestroMessageBox", "kestroMessageBox", "kestroFileDialog",
                                    "indexOptionsDialog", "paperSizeDialog", "kestroFileDialog"}));
        QCOMPARE(bar.core().state().texCommand, compiler);
        QCOMPARE(bar.core().state().indexCommand, *work / "tex/bin/mendex");
    }

    // The console draws TeX's backslash and Japanese, also on a desktop whose
    // monospaced face draws a yen sign there (IPAGothic does).
    void theConsoleDrawsABackslashAndJapanese() {
        startBar("");
        const QFont yen(QStringLiteral("IPAGothic"));
        if (QFontInfo(yen).family() != QStringLiteral("IPAGothic")) QSKIP("IPAGothic is not installed");
        QVERIFY(!drawsBackslash(yen));
        for (const QFont& font : {consoleFont(yen), console()->outputView()->font()}) {
            QVERIFY2(drawsBackslash(font) && QRawFont::fromFont(font).supportsCharacter(QChar(0x3042)), qPrintable(font.family()));
        }
    }

    // Every corner of a screen, two screens, a panel at the top, a console
    // beside the bar: a window lies on the bar's screen and leaves the bar
    // free, and the console too where there is room; one too big keeps its
    // top left corner on the screen.
    void windowsGoBesideTheBarOnItsScreen() {
        const QList<QRect> one{{0, 0, 1280, 800}}, two{{0, 0, 1280, 800}, {1280, -200, 1920, 1080}};
        const std::tuple<QList<QRect>, QRect, int, QRect> rows[] = {
            {one, {0, 0, 480, 90}, 0, {}}, {one, {800, 0, 480, 90}, 0, {}}, {one, {0, 710, 480, 90}, 0, {}},
            {one, {800, 710, 480, 90}, 0, {}}, {two, {2720, -200, 480, 90}, 1, {}}, {two, {1100, 0, 480, 90}, 1, {}}, {two, {0, 0, 480, 90}, 0, {}},
            {{two[1], two[0]}, {1000, 790, 480, 90}, 0, {}},  // most of it on the screen its centre is not nearest
            {{{0, 28, 1280, 772}}, {800, 28, 480, 90}, 0, {}},
            {one, {0, 0, 480, 90}, 0, {0, 90, 760, 460}}, {one, {600, 0, 480, 90}, 0, {520, 90, 760, 460}},
            {one, {0, 710, 480, 90}, 0, {0, 250, 760, 460}}, {one, {400, 0, 480, 90}, 0, {400, 90, 480, 700}},
            {two, {2000, -200, 480, 90}, 1, {1600, -110, 1600, 500}},
        };
        for (const auto& [screens, bar, screen, console] : rows) {
            for (const QSize size : {QSize(640, 420), QSize(300, 150)}) {
                const QRect placed(placeBesideBar(size, bar, screens, console), size);
                QVERIFY(screens[screen].contains(placed) && !placed.intersects(bar));
                QVERIFY(size.width() > 300 || !placed.intersects(console));
            }
            QVERIFY(screens[screen].contains(placeBesideBar(QSize(2000, 1200), bar, screens, console)));
        }
        // Four dialog units to the font's base width, eight to its height;
        // a font that needs more room stretches them, one that needs less not.
        const DialogUnits units(8, 16);
        QCOMPARE(units.rect(0, 0, 4, 8), QRect(0, 0, 8, 16));
        QCOMPARE(units.widenedToFit(4, 4).x(4) + units.stretchedToFit(0, 99).y(8), 8 + 16);
    }

    // The start-up's platform and document, and Qt's own words in the
    // desktop's language.
    void startUpAndQtsOwnWords() {
        // XWayland only where it is there and Qt was told nothing else.
        const auto platform = [](std::map<std::string, std::string> values) {
            return preferredQtPlatform([values](const std::string& name) -> std::optional<std::string> {
                return values.count(name) ? std::optional(values.at(name)) : std::nullopt;
            });
        };
        QCOMPARE(platform({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}}), std::optional<std::string>("xcb"));
        QVERIFY(!platform({{"WAYLAND_DISPLAY", "w"}}) && !platform({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}));
        QCOMPARE(commandTailOf({"kestro", "my", "paper.tex"}), std::string("my paper.tex"));
        // Last: it leaves the translations installed.
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm")) {
            QVERIFY(installQtTranslations(QLocale(QLocale::Japanese, QLocale::Japan)));
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
        }
    }
};

QTEST_MAIN(BarWindowTest)
#include "BarWindowTest.moc"

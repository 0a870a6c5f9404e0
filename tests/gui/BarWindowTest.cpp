// The Qt bar driven as a user drives it: each control reaches its
// operation, and what only this window does (its look, the history list,
// the console beside it, no input while a tool runs).
#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "GuiTestSupport.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

class BarWindowTest : public QObject, private BarFixture {
    Q_OBJECT

    std::string document;
    QtBarWindow& startBar(const std::string& ini) { return start(ini, document).window(); }
    std::string documentPath() { return session->core().state().documentPath; }
    void click(BarControl control) { QTest::mouseClick(session->window().button(control), Qt::LeftButton); }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        reset();
        document = *work / "論文 2024/paper.tex";
        writeFile(document, "\\documentclass{jarticle}\n");
        qputenv("KESTRO_OPENER", QByteArray::fromStdString(*work / "no-opener"));
    }
    void cleanup() { reset(); }

    // Each button starts its program in the document's folder; failures
    // come back as the user's messages.
    void buttonsReachTheirOperations() {
        const std::string folder = *work / "論文 2024";
        const QByteArray path = qgetenv("PATH");
        // The control, the settings, the program that ran (none: nothing ran)
        // with its arguments, and a part of the message shown.
        const std::tuple<BarControl, std::string, std::string, std::string, QString> rows[] = {
            {BarControl::Edit, "[Editor]\nEDIT=" + tex->tool("editor", ""), "editor", "[" + document + "]", ""},
            {BarControl::Tex, "[Settings]\nTeX=" + tex->tool("fake-platex", "exit 1"), "fake-platex", "[paper]", ""},
            {BarControl::OneClick, "[Settings]\nTeX=" + tex->path("fake-platex"), "fake-platex", "[paper]", "TeX の変更"},
            {BarControl::Pdf, "", "opener", "[paper.pdf]", ""},
            {BarControl::Pdf, "", "", "", "PDF file が開けません！"},
            {BarControl::CommandPrompt, "", "x-terminal-emulator", "", ""},
        };
        tex->tool("x-terminal-emulator", "");
        qputenv("PATH", QByteArray::fromStdString(tex->bin() + ":") + path);
        for (const auto& [control, ini, program, arguments, message] : rows) {
            fs::remove(*work / "record.txt");
            writeFile(folder + "/paper.pdf", "%PDF-1.5\n");
            if (program == "opener") qputenv("KESTRO_OPENER", QByteArray::fromStdString(tex->tool("opener", "")));
            startBar(ini);
            click(control);
            if (!program.empty()) QVERIFY(waitFor([&] { return !tex->recorded().empty(); }));
            QCOMPARE(tex->recorded(), program.empty() ? std::vector<std::string>{}
                                                      : std::vector{FakeTex::ran(program, arguments, folder)});
            if (control == BarControl::Tex) {
                QVERIFY(session->processes().console()->outputView()->toPlainText().contains(QStringLiteral("[終了コード 1]")));
            }
            QCOMPARE(user->messages.size(), message.isEmpty() ? 0 : 1);
            if (!message.isEmpty()) QVERIFY(user->messages.last().contains(message));
            QVERIFY(QApplication::overrideCursor() == nullptr);  // the wait cursor is gone again
            qputenv("KESTRO_OPENER", QByteArray::fromStdString(*work / "no-opener"));
            user->messages.clear();
        }
        qputenv("PATH", path);
    }

    // The file button's dialog and drops of files from the file manager
    // set the document; of several dropped files only the first counts.
    void theFileButtonAndDropsSetTheDocument() {
        const std::string chosen = *work / "other/chapter.tex", first = *work / "drop/図表.TEX";
        for (const std::string& file : {chosen, first, *work / "drop/notes.txt"}) writeFile(file, "x");
        QtBarWindow& bar = startBar("");
        QStringList filters;
        user->handler = [&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (dialog != nullptr) {
                filters = dialog->nameFilters();
                acceptFileDialog(dialog, chosen);
            }
            return dialog != nullptr;
        };
        click(BarControl::ChooseFile);
        QCOMPARE(filters, QStringList{QStringLiteral("TeX file (*.tex)")});
        QCOMPARE(documentPath(), chosen);
        drop(&bar, {first, chosen});
        QCOMPARE(documentPath(), first);
        QCOMPARE(bar.historyBox()->itemText(0), text(first));
        drop(&bar, {*work / "drop/notes.txt"});
        QCOMPARE(user->messages.size(), 1);
        QCOMPARE(documentPath(), first);
    }

    // The list opened with the down arrow: a click picks an entry whose
    // file exists, or forgets one whose file is gone; so do the keys.
    // Typed text, even an entry's, is no pick; Enter does not end the bar.
    void theHistoryListPicksAndTypingChangesNothing() {
        const std::string a = *work / "a.tex", gone = *work / "gone.tex", c = *work / "c.tex";
        writeFile(a, "x");
        writeFile(c, "x");
        HistoryComboBox* box = start("[RFL]\nFile0=" + a + "\nFile1=" + gone + "\nFile2=" + c + "\n").window().historyBox();
        for (const QString& typed : {QStringLiteral("typed text"), text(gone)}) {
            box->setFocus();
            box->setEditText(typed);
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
        }
        QVERIFY(session->window().isVisible());
        QCOMPARE(box->count(), 3);
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(waitFor([&] { return box->view()->isVisible(); }, 2000));
        const QRect place = box->view()->visualRect(box->view()->model()->index(1, 0));
        QTest::mouseClick(box->view()->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
        QApplication::processEvents();
        QCOMPARE(box->count(), 2);
        QCOMPARE(documentPath(), a);
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(waitFor([&] { return box->view()->isVisible(); }, 2000));
        QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(documentPath(), c);
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(user->messages.isEmpty());
    }

    // A tooltip is the core's text; the context menu opens the version box.
    void theTooltipsAndTheMenuReachTheCore() {
        QtBarWindow& bar = startBar("");
        QCOMPARE(bar.button(BarControl::Tex)->toolTip(), text(BarWindow::tooltipText(1002)).trimmed());
        QString item, title;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            item = menu->actions().value(0)->text();
            menu->actions().value(0)->trigger();
            menu->close();
        });
        user->handler = [&](QWidget* window) {
            title = window->windowTitle();
            return false;
        };
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&bar, &event);
        QCOMPARE(item, text(BarWindow::aboutMenuText()));
        QVERIFY(waitFor([&] { return title == QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"); }, 3000));
    }

    // Escape ends the bar and writes the history; a logout the user cancels
    // writes it too, and the bar goes on.
    void escapeAndTheEndOfTheSessionWriteTheHistory() {
        QtBarWindow& bar = startBar("");
        session->commitData();
        QVERIFY(readFile(*work / "Kestro.ini").value_or("").find("File0=" + document) != std::string::npos);
        QVERIFY(bar.isVisible());
        QTest::keyClick(&bar, Qt::Key_Escape);
        QVERIFY(!bar.isVisible());
        QVERIFY(session->core().ended());
    }

    // While a tool runs, buttons, drops, keys and the history list go
    // nowhere, and a close request waits for the road; the user answers the
    // tool in the console. After a failed road the console stays beside the
    // bar at TeX's error; the next road that succeeds takes it away.
    void theBarTakesNoInputWhileAToolRunsAndTheConsoleKeepsAFailure() {
        const std::string tex = writeScript(*work / "tex/platex", "seq 1 80\necho '! Undefined control sequence.'\nseq 1 80\n"
                                                           "read line\nprintf '%s' \"$line\" > answer\nexit 1\n");
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex + "\n");
        ToolConsole* console = session->processes().console();
        bool checked = false, consoleAtError = false;
        connect(&bar, &QtBarWindow::operationFinished, this, [&] {
            consoleAtError = console->isVisible() && !console->frameGeometry().intersects(bar.frameGeometry()) &&
                             console->outputView()->cursorForPosition(QPoint(1, 1)).block().text() ==
                                 QStringLiteral("! Undefined control sequence.");
        });
        QTimer::singleShot(0, [&] {
            QVERIFY(waitFor([&] { return session->processes().toolRunning(); }, 5000));
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
        QVERIFY(readFile(*work / "Kestro.ini").value_or("").find("File0=" + document) != std::string::npos);
    }
};

QTEST_MAIN(BarWindowTest)
#include "BarWindowTest.moc"

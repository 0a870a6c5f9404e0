// The bar window driven as a user drives it: its buttons, drops, the
// history box, tooltips, and how it ends.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QContextMenuEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include "BarSession.h"
#include "GuiTestSupport.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

namespace {

// Where a button's program comes from.
enum Wiring { EditorKey, TexKey, Opener, Terminal };

}  // namespace

class BarWindowTest : public QObject, private BarFixture {
    Q_OBJECT

private:
    QString document;

    QtBarWindow& startBar(const QByteArray& ini) { return start(ini, document).window(); }
    QString documentPath() { return text(session->core().state().documentPath); }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        reset();
        document = work->write(QStringLiteral("論文 2024/paper.tex"), "\\documentclass{jarticle}\n");
        qunsetenv("KESTRO_OPENER");
    }

    void cleanup() { reset(); }

    void tooltipsAreTheStoredTexts() {
        QtBarWindow& bar = startBar("");
        const QList<std::pair<BarControl, QString>> tips = {
            {BarControl::Edit, QStringLiteral("ﾌｧｲﾙの編集")},
            {BarControl::Tex, QStringLiteral("TeX のコンパイル")},
            {BarControl::Pdf, QStringLiteral("PDF ﾌｧｲﾙの表示")},
            {BarControl::CommandPrompt, QStringLiteral("コマンドプロンプトを開く")},
            {BarControl::OneClick, QStringLiteral("TeX のコンパイルからPDF の作成・表示まで")},
            {BarControl::ChooseFile, QString()},
            {BarControl::Settings, QString()}};
        for (const auto& [control, tip] : tips) QCOMPARE(bar.button(control)->toolTip(), tip);
    }

    // Each button starts its program in the document's folder; failures
    // come back as the user's messages.
    void buttonsReachTheirOperations_data() {
        QTest::addColumn<int>("control");
        QTest::addColumn<int>("wiring");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("argument");  // "*": the document's path; null: never started
        QTest::addColumn<QString>("message");
        QTest::newRow("edit") << int(BarControl::Edit) << int(EditorKey) << 0 << QStringLiteral("*") << QString();
        // No DVI is made: the compile ends quietly.
        QTest::newRow("tex") << int(BarControl::Tex) << int(TexKey) << 1 << QStringLiteral("paper") << QString();
        QTest::newRow("one click, failed compile")
            << int(BarControl::OneClick) << int(TexKey) << 1 << QStringLiteral("paper")
            << QStringLiteral("エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。");
        QTest::newRow("pdf") << int(BarControl::Pdf) << int(Opener) << 0 << QStringLiteral("paper.pdf") << QString();
        QTest::newRow("pdf, no opener") << int(BarControl::Pdf) << -1 << 0 << QString()
                                        << QStringLiteral("PDF file が開けません！");
        QTest::newRow("prompt") << int(BarControl::CommandPrompt) << int(Terminal) << 0 << QStringLiteral("")
                                << QString();
    }

    void buttonsReachTheirOperations() {
        QFETCH(int, control);
        QFETCH(int, wiring);
        QFETCH(int, exitCode);
        QFETCH(QString, argument);
        QFETCH(QString, message);
        if (control == int(BarControl::Pdf)) work->write(QStringLiteral("論文 2024/paper.pdf"), "%PDF-1.5\n");
        const QString marker = work->path(QStringLiteral("ran"));
        const QString name = wiring == Terminal ? QStringLiteral("bin/x-terminal-emulator") : QStringLiteral("bin/fake-platex");
        const QByteArray program = work->recorder(name, marker, exitCode).toUtf8();
        QByteArray ini;
        if (wiring == EditorKey) ini = "[Editor]\nEDIT=" + program + "\n";
        if (wiring == TexKey) ini = "[Settings]\nTeX=" + program + "\n";
        qputenv("KESTRO_OPENER", wiring == Opener ? program : work->path(QStringLiteral("no-opener")).toUtf8());
        const QByteArray path = qgetenv("PATH");
        if (wiring == Terminal) qputenv("PATH", work->path(QStringLiteral("bin")).toUtf8() + ":" + path);

        QtBarWindow& bar = startBar(ini);
        QTest::mouseClick(bar.button(BarControl(control)), Qt::LeftButton);
        if (!argument.isNull()) waitFor([&] { return !readFile(marker).isEmpty(); });
        qputenv("PATH", path);
        const QString expected = work->path(QStringLiteral("論文 2024")) + "|" + (argument == "*" ? document : argument);
        QCOMPARE(readFile(marker), argument.isNull() ? QString() : expected);
        QCOMPARE(user->messages(), message.isNull() ? QStringList() : QStringList{message});
        if (!message.isNull()) QCOMPARE(user->captions(), QStringList{QStringLiteral("kestro")});
        QVERIFY(QApplication::overrideCursor() == nullptr);  // the wait cursor is gone again
        if (wiring == TexKey) {
            const QString shown = session->processes().console()->outputView()->toPlainText();
            QVERIFY2(shown.contains(QStringLiteral("[終了コード 1]")), qPrintable(shown));
        }
    }

    // The file button and drops: a .tex file (any case) becomes the
    // document; of several dropped files only the first counts.
    void fileButtonAndDropsSetTheDocument() {
        const QString chosen = work->write(QStringLiteral("other/chapter.tex"), "x");
        const QString dropped = work->write(QStringLiteral("drop/図表.TEX"), "x");
        const QString first = work->write(QStringLiteral("drop/a.tex"), "x");
        const QString second = work->write(QStringLiteral("drop/b.tex"), "x");
        const QString notes = work->write(QStringLiteral("drop/notes.txt"), "x");
        QtBarWindow& bar = startBar("");
        QStringList filters;
        user->setHandler([&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (dialog == nullptr) return false;
            filters = dialog->nameFilters();
            acceptFileDialog(dialog, chosen);
            return true;
        });
        QTest::mouseClick(bar.button(BarControl::ChooseFile), Qt::LeftButton);
        QCOMPARE(filters, QStringList{QStringLiteral("TeX file (*.tex)")});
        QCOMPARE(documentPath(), chosen);
        QCOMPARE(text(session->core().state().documentStem), QStringLiteral("chapter"));
        QCOMPARE(bar.historyBox()->itemText(0), chosen);
        QCOMPARE(bar.historyBox()->itemText(1), document);

        drop(&bar, {QUrl::fromLocalFile(dropped)});
        QCOMPARE(documentPath(), dropped);
        QCOMPARE(text(session->core().state().documentExt), QStringLiteral(".TEX"));
        QCOMPARE(bar.historyBox()->itemText(0), dropped);

        drop(&bar, {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(notes)});
        QCOMPARE(documentPath(), first);
        QVERIFY(user->messages().isEmpty());

        drop(&bar, {QUrl::fromLocalFile(notes), QUrl::fromLocalFile(second)});
        QCOMPARE(user->messages(), QStringList{QStringLiteral("TeX のファイルではありません！登録して直して下さい！")});
        QCOMPARE(documentPath(), first);
        QCOMPARE(bar.historyBox()->count(), 4);
    }

    void historyPicksExistingFilesAndForgetsVanishedOnes() {
        const QString a = work->write(QStringLiteral("a.tex"), "x");
        const QString c = work->write(QStringLiteral("c.tex"), "x");
        const QString gone = work->path(QStringLiteral("gone.tex"));
        HistoryComboBox* box =
            start("[RFL]\nFile0=" + a.toUtf8() + "\nFile1=" + gone.toUtf8() + "\nFile2=" + c.toUtf8() + "\n")
                .window()
                .historyBox();
        QCOMPARE(box->count(), 3);
        QCOMPARE(documentPath(), a);

        // The user opens the list with the down arrow and clicks an entry.
        const auto pick = [&](int row) {
            box->setFocus();
            QTest::keyClick(box, Qt::Key_Down);
            QAbstractItemView* list = box->view();
            QVERIFY(waitFor([&] { return list->isVisible(); }, 2000));
            const QRect place = list->visualRect(list->model()->index(row, 0));
            QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, place.center());
            QApplication::processEvents();
        };
        pick(1);
        QCOMPARE(box->count(), 2);
        QCOMPARE(box->itemText(1), c);
        QCOMPARE(documentPath(), a);

        // Now by the keys that walk the open list.
        QTest::keyClick(box, Qt::Key_Down);
        QVERIFY(waitFor([&] { return box->view()->isVisible(); }, 2000));
        QTest::keyClick(box->view(), Qt::Key_Down);
        QTest::keyClick(box->view(), Qt::Key_Return);
        QApplication::processEvents();
        QCOMPARE(documentPath(), c);
        QCOMPARE(box->itemText(0), c);
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(user->messages().isEmpty());
    }

    void windowHasTheBarsTitleControlsAndPlace() {
        QtBarWindow& bar = startBar("");
        QCOMPARE(bar.windowTitle(), QStringLiteral("Pelvane: Drag & Drop TeX file"));
        QVERIFY(bar.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(bar.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(bar.minimumSize(), bar.maximumSize());  // no sizing border

        // The icon buttons in the row, left to right, as the template has them.
        const QList<BarControl> row = {BarControl::Edit, BarControl::OneClick, BarControl::Tex, BarControl::Pdf,
                                       BarControl::CommandPrompt, BarControl::Settings};
        for (qsizetype i = 0; i + 1 < row.size(); ++i) {
            QVERIFY(bar.button(row[i])->geometry().right() < bar.button(row[i + 1])->geometry().left());
            QVERIFY(!bar.button(row[i])->icon().pixmap(32, 32).isNull());
        }
        QVERIFY(bar.historyLabel()->geometry().right() < bar.historyBox()->x());
        QVERIFY(bar.historyBox()->geometry().right() < bar.button(BarControl::ChooseFile)->x());
        QVERIFY(bar.historyBox()->y() > bar.button(BarControl::Edit)->geometry().bottom());

        // The tab order is the template's: the history box first.
        QWidget* next = bar.historyBox();
        const QList<QWidget*> order = {bar.button(BarControl::Edit), bar.button(BarControl::ChooseFile),
                                       bar.button(BarControl::Tex), bar.button(BarControl::Pdf),
                                       bar.button(BarControl::CommandPrompt), bar.button(BarControl::Settings),
                                       bar.button(BarControl::OneClick)};
        for (QWidget* expected : order) {
            next = next->nextInFocusChain();
            while (!(next->focusPolicy() & Qt::TabFocus) || bar.historyBox()->isAncestorOf(next)) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next, expected);
        }
        QVERIFY(bar.y() < 200);  // near the top of the screen
    }

    // Typed text, even one equal to an entry, is neither a document nor a
    // pick that forgets a vanished entry; Enter does not end the bar.
    void typingInTheHistoryBoxChangesNothing() {
        const QString other = work->write(QStringLiteral("other.tex"), "x");
        const QString gone = work->path(QStringLiteral("gone.tex"));
        QtBarWindow& bar = startBar("[RFL]\nFile0=" + other.toUtf8() + "\nFile1=" + gone.toUtf8() + "\n");
        HistoryComboBox* box = bar.historyBox();
        for (const QString& typed : {QStringLiteral("typed text"), other, gone}) {
            box->setFocus();
            box->setEditText(typed);
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);
            bar.button(BarControl::Edit)->setFocus();
            QApplication::processEvents();
        }
        QVERIFY(bar.isVisible());
        QCOMPARE(box->count(), 3);
        QCOMPARE(documentPath(), document);
    }

    void contextMenuOpensTheVersionBox() {
        QtBarWindow& bar = startBar("");
        QString itemText;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            itemText = menu->actions().value(0)->text();
            menu->actions().value(0)->trigger();
            menu->close();
        });
        QString title;
        user->setHandler([&](QWidget* window) {
            title = window->windowTitle();
            return false;
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&bar, &event);
        QCOMPARE(itemText, QStringLiteral("Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        QVERIFY(waitFor([&] { return title == QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"); }, 3000));
    }

    void escapeEndsTheBarAndSavesTheHistory() {
        QtBarWindow& bar = startBar("");
        QTest::keyClick(&bar, Qt::Key_Escape);
        QVERIFY(!bar.isVisible());
        QVERIFY(session->core().ended());
        QVERIFY2(work->settings().contains(QStringLiteral("File0=") + document), qPrintable(work->settings()));
    }

    // After a failed road the console stays beside the bar with TeX's error
    // at the top; the next road that succeeds takes it away.
    void aFailedRoadLeavesTheConsoleAtTheError() {
        const QString tex = work->script(QStringLiteral("bin/fake-platex"),
                                         "seq 1 80\necho '! Undefined control sequence.'\necho 'l.12 \\hoge'\n"
                                         "seq 1 80\nexit 1\n");
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex.toUtf8() + "\n");
        QTest::mouseClick(bar.button(BarControl::Tex), Qt::LeftButton);
        ToolConsole* console = session->processes().console();
        QVERIFY(console->isVisible());
        QVERIFY(!console->frameGeometry().intersects(bar.frameGeometry()));
        QCOMPARE(console->outputView()->cursorForPosition(QPoint(1, 1)).block().text(),
                 QStringLiteral("! Undefined control sequence."));
        QVERIFY(!console->stopButton()->isEnabled());
        bar.roadEnded(false);
        QVERIFY(!console->isVisible());
    }

    // A logout the user cancels: the history is saved, and saved again
    // when the bar really ends.
    void sessionEndRequestSavesTheHistoryAndTheBarGoesOn() {
        const QString later = work->write(QStringLiteral("later.tex"), "x");
        QtBarWindow& bar = startBar("");
        session->commitData();
        QVERIFY(work->settings().contains(QStringLiteral("File0=") + document));
        drop(&bar, {QUrl::fromLocalFile(later)});
        bar.close();
        QVERIFY2(work->settings().contains(QStringLiteral("File0=") + later), qPrintable(work->settings()));
    }

    void theBarTakesNoInputWhileAToolRunsAndClosesAfterTheRoad() {
        const QString marker = work->path(QStringLiteral("answer"));
        const QString opened = work->path(QStringLiteral("opened"));
        const QString tex = work->script(QStringLiteral("bin/fake-platex"),
                                         "printf 'Please type a command or say `\\\\end'\"'\"'\\n*'\n"
                                         "read line\nprintf '%s' \"$line\" > '" + marker.toUtf8() + "'\nexit 0\n");
        work->write(QStringLiteral("論文 2024/paper.pdf"), "%PDF-1.5\n");
        qputenv("KESTRO_OPENER", work->recorder(QStringLiteral("bin/opener"), opened).toUtf8());
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex.toUtf8() + "\n");
        ToolConsole* console = session->processes().console();

        bool checked = false;
        QTimer::singleShot(0, [&] {
            QVERIFY(waitFor([&] { return session->processes().toolRunning(); }, 5000));
            QVERIFY(bar.inputBlocker()->engaged());
            QVERIFY(bar.isEnabled());  // it still paints as usual
            // Buttons, drops, keys and the history list go nowhere.
            QTest::mouseClick(bar.button(BarControl::Pdf), Qt::LeftButton);
            QTest::keyClick(&bar, Qt::Key_Escape);
            drop(&bar, {QUrl::fromLocalFile(work->write(QStringLiteral("x.tex"), "x"))});
            bar.historyBox()->setFocus();
            QTest::keyClick(bar.historyBox(), Qt::Key_Down);
            QVERIFY(!bar.historyBox()->view()->isVisible());
            // A close request waits for the road.
            QVERIFY(!bar.close());
            QVERIFY(bar.isVisible());
            QCOMPARE(documentPath(), document);
            // The user answers the tool's prompt in the console.
            QTest::keyClicks(console->inputLine(), QStringLiteral("x"));
            QTest::keyClick(console->inputLine(), Qt::Key_Return);
            checked = true;
        });
        QTest::mouseClick(bar.button(BarControl::Tex), Qt::LeftButton);
        QVERIFY(checked);
        QCOMPARE(readFile(marker), QStringLiteral("x"));
        // The road is over: the deferred close has happened, with the history.
        QVERIFY(!bar.isVisible());
        QVERIFY(!bar.inputBlocker()->engaged());
        QVERIFY(work->settings().contains(QStringLiteral("File0=") + document));
        QVERIFY(!QFile::exists(opened));
    }
};

QTEST_MAIN(BarWindowTest)
#include "BarWindowTest.moc"

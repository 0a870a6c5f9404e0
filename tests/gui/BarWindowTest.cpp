// The bar window driven as a user drives it: its buttons, drops, the
// history box, tooltips, the version box, and how it ends.
#include <QAbstractItemView>
#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <memory>

#include "BarSession.h"
#include "ConsoleProcesses.h"
#include "GuiTestSupport.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "QtBarWindow.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

namespace {

const char* const kNotTex = "TeX のファイルではありません！登録して直して下さい！";
const char* const kOneClickCompileFailed =
    "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。";

QString readFile(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(in.readAll()).trimmed();
}

void drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QApplication::processEvents();  // the drop is handled once it has ended
}

}  // namespace

class BarWindowTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Workspace> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<BarSession> session;
    QString document;

    // A bar started with `ini` as its settings file and `tail` as its
    // start-up document.
    QtBarWindow& startBar(const QByteArray& ini, const QString& tail) {
        work->write(QStringLiteral("Kestro.ini"), ini);
        session = std::make_unique<BarSession>(bytes(work->settingsPath()), "kestro", bytes(tail));
        session->start();
        return session->window();
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void init() {
        work = std::make_unique<Workspace>();
        user = std::make_unique<ModalAnswerer>();
        document = work->write(QStringLiteral("論文 2024/paper.tex"), "\\documentclass{jarticle}\n");
        qunsetenv("KESTRO_OPENER");
    }

    void cleanup() {
        session.reset();
        user.reset();
        work.reset();
    }

    void windowHasTheBarsTitleControlsAndPlace() {
        QtBarWindow& bar = startBar("", document);
        QCOMPARE(bar.windowTitle(), QStringLiteral("Pelvane: Drag & Drop TeX file"));
        QVERIFY(bar.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(bar.windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(bar.minimumSize(), bar.maximumSize());  // no sizing border

        // The icon buttons in the row, left to right, as the template has them.
        const QList<BarControl> row = {BarControl::Edit, BarControl::OneClick, BarControl::Tex, BarControl::Pdf,
                                       BarControl::CommandPrompt, BarControl::Settings};
        for (qsizetype i = 0; i + 1 < row.size(); ++i) {
            QVERIFY(bar.button(row[i])->geometry().right() < bar.button(row[i + 1])->geometry().left());
            QCOMPARE(bar.button(row[i])->y(), 0);
            QVERIFY(!bar.button(row[i])->icon().pixmap(32, 32).isNull());
        }
        // The lower row: label, history box, file button.
        QVERIFY(bar.historyLabel()->geometry().right() < bar.historyBox()->x());
        QVERIFY(bar.historyBox()->geometry().right() < bar.button(BarControl::ChooseFile)->x());
        QVERIFY(bar.historyBox()->y() > bar.button(BarControl::Edit)->geometry().bottom());
        QCOMPARE(bar.button(BarControl::ChooseFile)->text(), QStringLiteral("ﾌｧｲﾙ選択"));
        QCOMPARE(bar.historyLabel()->text(), QStringLiteral("履歴"));

        // The tab order is the template's: the history box first.
        QWidget* next = bar.historyBox();
        const QList<QWidget*> order = {bar.button(BarControl::Edit), bar.button(BarControl::ChooseFile),
                                       bar.button(BarControl::Tex), bar.button(BarControl::Pdf),
                                       bar.button(BarControl::CommandPrompt), bar.button(BarControl::Settings),
                                       bar.button(BarControl::OneClick)};
        for (QWidget* expected : order) {
            next = next->nextInFocusChain();
            // The box's own text field is part of the box.
            while (!(next->focusPolicy() & Qt::TabFocus) || bar.historyBox()->isAncestorOf(next)) {
                next = next->nextInFocusChain();
            }
            QCOMPARE(next, expected);
        }
        // Near the top of the screen.
        QVERIFY(bar.y() < 200);
        QCOMPARE(bar.historyBox()->itemText(0), document);
    }

    void tooltipsAreTheStoredTextsWithoutTheirLeadingLineBreak() {
        QtBarWindow& bar = startBar("", document);
        QCOMPARE(bar.button(BarControl::Edit)->toolTip(), QStringLiteral("ﾌｧｲﾙの編集"));
        QCOMPARE(bar.button(BarControl::Tex)->toolTip(), QStringLiteral("TeX のコンパイル"));
        QCOMPARE(bar.button(BarControl::Pdf)->toolTip(), QStringLiteral("PDF ﾌｧｲﾙの表示"));
        QCOMPARE(bar.button(BarControl::CommandPrompt)->toolTip(), QStringLiteral("コマンドプロンプトを開く"));
        QCOMPARE(bar.button(BarControl::OneClick)->toolTip(),
                 QStringLiteral("TeX のコンパイルからPDF の作成・表示まで"));
        QVERIFY(bar.button(BarControl::ChooseFile)->toolTip().isEmpty());
        QVERIFY(bar.button(BarControl::Settings)->toolTip().isEmpty());
        QVERIFY(bar.historyBox()->toolTip().isEmpty());
    }

    void editButtonOpensTheDocumentInTheEditor() {
        const QString marker = work->path(QStringLiteral("editor-ran"));
        const QString editor = work->script(QStringLiteral("bin/editor"),
                                            "printf '%s|%s' \"$(pwd)\" \"$1\" > '" + marker.toUtf8() + "'\n");
        QtBarWindow& bar = startBar("[Editor]\nEDIT=" + editor.toUtf8() + "\n", document);
        QTest::mouseClick(bar.button(BarControl::Edit), Qt::LeftButton);
        QVERIFY(waitFor([&] { return !readFile(marker).isEmpty(); }));
        QCOMPARE(readFile(marker), work->path(QStringLiteral("論文 2024")) + "|" + document);
        QVERIFY(user->messages().isEmpty());
    }

    void fileButtonMakesTheChosenFileTheDocument() {
        const QString other = work->write(QStringLiteral("other/chapter.tex"), "x");
        QtBarWindow& bar = startBar("", document);
        QStringList filters;
        user->setHandler([&](QWidget* window) {
            auto* dialog = qobject_cast<QFileDialog*>(window);
            if (dialog == nullptr) return false;
            filters = dialog->nameFilters();
            acceptFileDialog(dialog, other);
            return true;
        });
        QTest::mouseClick(bar.button(BarControl::ChooseFile), Qt::LeftButton);
        QCOMPARE(text(session->core().state().documentPath), other);
        QCOMPARE(text(session->core().state().documentStem), QStringLiteral("chapter"));
        QCOMPARE(bar.historyBox()->itemText(0), other);
        QCOMPARE(bar.historyBox()->itemText(1), document);
        QCOMPARE(bar.historyBox()->currentText(), other);
        QCOMPARE(user->windows(), QStringList{QStringLiteral("kestroFileDialog")});
        QCOMPARE(filters, QStringList{QStringLiteral("TeX file (*.tex)")});
    }

    void texButtonRunsTheCompilerInTheConsoleWindow() {
        const QString marker = work->path(QStringLiteral("tex-ran"));
        const QString tex = work->script(QStringLiteral("bin/fake-platex"),
                                         "echo \"compiling $1\"\nprintf '%s' \"$1\" > '" + marker.toUtf8() +
                                             "'\nexit 1\n");
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex.toUtf8() + "\n", document);
        QTest::mouseClick(bar.button(BarControl::Tex), Qt::LeftButton);
        QCOMPARE(readFile(marker), QStringLiteral("paper"));
        const QString shown = session->processes().console()->outputView()->toPlainText();
        QVERIFY2(shown.contains(QStringLiteral("compiling paper")), qPrintable(shown));
        QVERIFY(shown.contains(QStringLiteral("[終了コード 1]")));
        // No DVI was made: the compile ends quietly, and the console goes
        // away with the road.
        QVERIFY(user->messages().isEmpty());
        QVERIFY(!session->processes().console()->isVisible());
    }

    void oneClickButtonReportsAFailedCompile() {
        const QString tex = work->script(QStringLiteral("bin/fake-platex"), "exit 1\n");
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex.toUtf8() + "\n", document);
        QTest::mouseClick(bar.button(BarControl::OneClick), Qt::LeftButton);
        QCOMPARE(user->messages(), QStringList{QString::fromUtf8(kOneClickCompileFailed)});
        QCOMPARE(user->captions(), QStringList{QStringLiteral("kestro")});
    }

    void pdfButtonHandsThePdfToTheDesktopsOpener() {
        work->write(QStringLiteral("論文 2024/paper.pdf"), "%PDF-1.5\n");
        const QString marker = work->path(QStringLiteral("opened"));
        const QString opener = work->script(QStringLiteral("bin/opener"),
                                            "printf '%s|%s' \"$(pwd)\" \"$1\" > '" + marker.toUtf8() + "'\n");
        qputenv("KESTRO_OPENER", opener.toUtf8());
        QtBarWindow& bar = startBar("", document);
        QTest::mouseClick(bar.button(BarControl::Pdf), Qt::LeftButton);
        QVERIFY(waitFor([&] { return !readFile(marker).isEmpty(); }));
        QCOMPARE(readFile(marker), work->path(QStringLiteral("論文 2024")) + QStringLiteral("|paper.pdf"));
        QVERIFY(user->messages().isEmpty());
    }

    void pdfButtonSaysSoWhenNoOpenerStarts() {
        work->write(QStringLiteral("論文 2024/paper.pdf"), "%PDF-1.5\n");
        qputenv("KESTRO_OPENER", work->path(QStringLiteral("no-such-opener")).toUtf8());
        QtBarWindow& bar = startBar("", document);
        QTest::mouseClick(bar.button(BarControl::Pdf), Qt::LeftButton);
        QCOMPARE(user->messages(), QStringList{QStringLiteral("PDF file が開けません！")});
        QVERIFY(QApplication::overrideCursor() == nullptr);  // the wait cursor is gone again
    }

    void promptButtonOpensATerminalInTheDocumentsFolder() {
        const QString marker = work->path(QStringLiteral("terminal"));
        work->script(QStringLiteral("bin/x-terminal-emulator"), "pwd > '" + marker.toUtf8() + "'\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", work->path(QStringLiteral("bin")).toUtf8() + ":" + path);
        QtBarWindow& bar = startBar("", document);
        QTest::mouseClick(bar.button(BarControl::CommandPrompt), Qt::LeftButton);
        const bool started = waitFor([&] { return !readFile(marker).isEmpty(); });
        qputenv("PATH", path);
        QVERIFY(started);
        QCOMPARE(readFile(marker), work->path(QStringLiteral("論文 2024")));
    }

    void settingsButtonRunsThePanelAndRereadsTheSettings() {
        QtBarWindow& bar = startBar("", document);
        QCOMPARE(text(session->core().state().indexOptions), QStringLiteral("-s myindex"));
        QTest::mouseClick(bar.button(BarControl::Settings), Qt::LeftButton);
        QCOMPARE(user->windows(), QStringList{QStringLiteral("settingsDialog")});
        // Closed at once: the re-read finds no stored options.
        QCOMPARE(text(session->core().state().indexOptions), QString());
    }

    void droppedTexFileBecomesTheDocument() {
        const QString dropped = work->write(QStringLiteral("drop/図表.TEX"), "x");
        QtBarWindow& bar = startBar("", document);
        drop(&bar, {QUrl::fromLocalFile(dropped)});
        QCOMPARE(text(session->core().state().documentPath), dropped);
        QCOMPARE(text(session->core().state().documentExt), QStringLiteral(".TEX"));
        QCOMPARE(bar.historyBox()->itemText(0), dropped);
        QCOMPARE(bar.historyBox()->count(), 2);
        QVERIFY(user->messages().isEmpty());
    }

    void onlyTheFirstOfSeveralDroppedFilesCounts() {
        const QString first = work->write(QStringLiteral("drop/a.tex"), "x");
        const QString second = work->write(QStringLiteral("drop/b.tex"), "x");
        const QString third = work->write(QStringLiteral("drop/c.tex"), "x");
        QtBarWindow& bar = startBar("", document);
        drop(&bar, {QUrl::fromLocalFile(first), QUrl::fromLocalFile(second), QUrl::fromLocalFile(third)});
        QCOMPARE(text(session->core().state().documentPath), first);
        QCOMPARE(bar.historyBox()->count(), 2);

        // A first file that is no TeX file is refused, however many .tex
        // files follow it.
        const QString notes = work->write(QStringLiteral("drop/notes.txt"), "x");
        drop(&bar, {QUrl::fromLocalFile(notes), QUrl::fromLocalFile(second), QUrl::fromLocalFile(third)});
        QCOMPARE(user->messages(), QStringList{QString::fromUtf8(kNotTex)});
        QCOMPARE(text(session->core().state().documentPath), first);
        QCOMPARE(bar.historyBox()->count(), 2);
    }

    void dropsOfAnythingButFilesAreRefused() {
        QtBarWindow& bar = startBar("", document);
        QMimeData data;
        data.setUrls({QUrl(QStringLiteral("https://example.org/paper.tex"))});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&bar, &enter);
        QVERIFY(!enter.isAccepted());
        // The history box's text field leaves drops to the bar.
        QVERIFY(!bar.historyBox()->lineEdit()->acceptDrops());
    }

    void historyPicksExistingFilesAndForgetsVanishedOnes() {
        const QString a = work->write(QStringLiteral("a.tex"), "x");
        const QString c = work->write(QStringLiteral("c.tex"), "x");
        const QString gone = work->path(QStringLiteral("gone.tex"));
        QtBarWindow& bar = startBar("[RFL]\nFile0=" + a.toUtf8() + "\nFile1=" + gone.toUtf8() + "\nFile2=" +
                                        c.toUtf8() + "\n",
                                    QString());
        HistoryComboBox* box = bar.historyBox();
        QCOMPARE(box->count(), 3);
        QCOMPARE(text(session->core().state().documentPath), a);

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
        QCOMPARE(box->itemText(0), a);
        QCOMPARE(box->itemText(1), c);
        QCOMPARE(text(session->core().state().documentPath), a);

        pick(1);
        QCOMPARE(text(session->core().state().documentPath), c);
        QCOMPARE(box->itemText(0), c);
        QCOMPARE(box->itemText(1), a);
        QCOMPARE(box->currentIndex(), 0);
        QVERIFY(user->messages().isEmpty());
    }

    void closedListKeysAndWheelNeverSwitchTheDocument() {
        const QString a = work->write(QStringLiteral("a.tex"), "x");
        const QString b = work->write(QStringLiteral("b.tex"), "x");
        QtBarWindow& bar = startBar("[RFL]\nFile0=" + a.toUtf8() + "\nFile1=" + b.toUtf8() + "\n", QString());
        HistoryComboBox* box = bar.historyBox();
        box->setFocus();
        QTest::keyClick(box, Qt::Key_F4);
        QVERIFY(!box->view()->isVisible());
        QTest::keyClick(box, Qt::Key_Up);  // opens the list instead of moving
        QVERIFY(waitFor([&] { return box->view()->isVisible(); }, 2000));
        box->hidePopup();
        QWheelEvent wheel(QPointF(5, 5), box->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &wheel);
        QApplication::processEvents();
        QCOMPARE(text(session->core().state().documentPath), a);
        QCOMPARE(box->currentIndex(), 0);
    }

    void enterInTheHistoryBoxDoesNothing() {
        QtBarWindow& bar = startBar("", document);
        bar.historyBox()->setFocus();
        bar.historyBox()->setEditText(QStringLiteral("typed text"));
        QTest::keyClick(bar.historyBox()->lineEdit(), Qt::Key_Return);
        QApplication::processEvents();
        QVERIFY(bar.isVisible());
        QCOMPARE(bar.historyBox()->count(), 1);
        QCOMPARE(text(session->core().state().documentPath), document);
        QVERIFY(!work->settings().contains(QStringLiteral("File0")));
    }

    void escapeAndTheCloseBoxEndTheBarAndSaveTheHistory() {
        QtBarWindow& bar = startBar("", document);
        QTest::keyClick(&bar, Qt::Key_Escape);
        QVERIFY(!bar.isVisible());
        QVERIFY(session->core().ended());
        QVERIFY2(work->settings().contains(QStringLiteral("File0=") + document), qPrintable(work->settings()));

        cleanup();
        init();
        QtBarWindow& again = startBar("", document);
        QVERIFY(again.close());
        QVERIFY(work->settings().contains(QStringLiteral("File0=") + document));
    }

    void contextMenuOffersTheVersionBox() {
        QtBarWindow& bar = startBar("", document);
        QString itemText;
        QTimer::singleShot(50, [&] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            if (menu == nullptr) return;
            itemText = menu->actions().value(0)->text();
            menu->actions().value(0)->trigger();
            menu->close();
        });
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&bar, &event);
        QCOMPARE(itemText, QStringLiteral("Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)..."));
        QVERIFY(waitFor([&] { return user->windows().contains(QStringLiteral("aboutDialog")); }, 3000));
    }

    void versionBoxShowsTheVersion() {
        QtBarWindow& bar = startBar("", document);
        QStringList texts;
        QString title;
        bool okIsDefault = false;
        user->setHandler([&](QWidget* window) {
            title = window->windowTitle();
            for (QLabel* label : window->findChildren<QLabel*>()) texts << label->text();
            okIsDefault = window->findChild<QPushButton*>(QStringLiteral("aboutOk"))->isDefault();
            return false;  // cancelled, as Esc does
        });
        bar.showAbout();
        QVERIFY(okIsDefault);
        QCOMPARE(title, QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"));
        QVERIFY(texts.contains(QStringLiteral("Pelvane Version 3.0")));
    }

    void theBarTakesNoInputWhileAToolRunsAndClosesAfterTheRoad() {
        const QString marker = work->path(QStringLiteral("answer"));
        const QString opened = work->path(QStringLiteral("opened"));
        const QString tex = work->script(QStringLiteral("bin/fake-platex"),
                                         "printf 'Please type a command or say `\\\\end'\"'\"'\\n*'\n"
                                         "read line\nprintf '%s' \"$line\" > '" + marker.toUtf8() + "'\nexit 0\n");
        work->write(QStringLiteral("論文 2024/paper.pdf"), "%PDF-1.5\n");
        qputenv("KESTRO_OPENER", work->script(QStringLiteral("bin/opener"), "touch '" + opened.toUtf8() + "'\n")
                                     .toUtf8());
        QtBarWindow& bar = startBar("[Settings]\nTeX=" + tex.toUtf8() + "\n", document);
        ToolConsole* console = session->processes().console();

        bool checked = false;
        QTimer::singleShot(0, [&] {
            QVERIFY(waitFor([&] { return session->processes().toolRunning(); }, 5000));
            QVERIFY(bar.inputBlocker()->engaged());
            QVERIFY(bar.isEnabled());  // it still paints as usual
            // Buttons, drops, keys and the context menu go nowhere.
            QTest::mouseClick(bar.button(BarControl::Pdf), Qt::LeftButton);
            QTest::keyClick(&bar, Qt::Key_Escape);
            QMimeData data;
            data.setUrls({QUrl::fromLocalFile(work->write(QStringLiteral("x.tex"), "x"))});
            QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&bar, &enter);
            QVERIFY(!enter.isAccepted());
            bar.historyBox()->setFocus();
            QTest::keyClick(bar.historyBox(), Qt::Key_Down);
            QVERIFY(!bar.historyBox()->view()->isVisible());
            QVERIFY(bar.isVisible());
            // A close request waits for the road.
            QVERIFY(!bar.close());
            QVERIFY(bar.isVisible());
            QVERIFY(!QFile::exists(opened));
            QCOMPARE(text(session->core().state().documentPath), document);
            // The user answers the tool's prompt in the console.
            QTest::keyClicks(console->inputLine(), QStringLiteral("x"));
            QTest::keyClick(console->inputLine(), Qt::Key_Return);
            checked = true;
        });
        QTest::mouseClick(bar.button(BarControl::Tex), Qt::LeftButton);
        QVERIFY(checked);
        QCOMPARE(readFile(marker), QStringLiteral("x"));
        QVERIFY(console->outputView()->toPlainText().contains(QStringLiteral("Please type a command")));
        // The road is over: the deferred close has happened, with the history.
        QVERIFY(!bar.isVisible());
        QVERIFY(!bar.inputBlocker()->engaged());
        QVERIFY(work->settings().contains(QStringLiteral("File0=") + document));
        QVERIFY(!QFile::exists(opened));
    }
};

QTEST_MAIN(BarWindowTest)
#include "BarWindowTest.moc"

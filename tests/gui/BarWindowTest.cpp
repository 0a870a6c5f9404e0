// The Qt bar and its dialogs driven as a user drives them: each control
// reaches its operation, and what only the Linux bar does (the console
// beside it, no input while a tool runs, its file dialog filters, its
// start-up, Qt's own words).
#include <QAbstractItemView>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QLibraryInfo>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

#include "FileDialogFilter.h"
#include "GuiTestSupport.h"
#include "HistoryComboBox.h"
#include "InputBlocker.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "QtTranslations.h"
#include "StartupEnvironment.h"
#include "ToolConsole.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"

using namespace kestro;
using namespace kestro::test;

class BarWindowTest : public QObject, private BarFixture {
    Q_OBJECT

    std::string document;
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
        whenOpen<QFileDialog>([&](QFileDialog* dialog) {
            filters = dialog->nameFilters();
            acceptFileDialog(dialog, chosen);
        });
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

    // A tooltip is the core's text; the context menu opens the version box;
    // a logout the user cancels writes the history and the bar goes on;
    // Escape ends it.
    void theMenuTooltipsAndEndsReachTheCore() {
        QtBarWindow& bar = startBar("");
        QCOMPARE(bar.button(BarControl::Tex)->toolTip(), text(BarWindow::tooltipText(1002)).trimmed());
        QString title;
        QTimer::singleShot(50, [] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            menu->actions().value(0)->trigger();
            menu->close();
        });
        user->handler = [&](QWidget* window) { return title = window->windowTitle(), false; };
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), bar.mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(&bar, &event);
        QVERIFY(waitFor([&] { return title == QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"); }, 3000));
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
        QVERIFY(stored("File0=" + document));
    }

    // The paper dialog opens on the stored keys, a click on a box reaches
    // the model, a radio button is a size, Enter is OK; the index dialog's
    // text and box reach the file, its Cancel changes nothing.
    void theDialogsControlsReachTheirModels() {
        BarSession& bar = start("[Settings]\nPdfNeShow=1\nPdfSizeNo=4\n");
        whenOpen<QtPaperSizeDialog>([](QtPaperSizeDialog* dialog) {
            QVERIFY(dialog->radioAt(4)->isChecked() && dialog->skipFromNowOnBox()->isChecked());
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

    // The file dialogs' filters, the start-up's platform and document, and
    // Qt's own words in the desktop's language.
    void filtersStartUpAndQtsOwnWords() {
        QCOMPARE(qtFileDialogFilter("TeX file (*.tex)|*.tex||"), QStringLiteral("TeX file (*.tex)"));
        QCOMPARE(qtFileDialogFilter("Exe files (*.exe)|*.exe||"), QStringLiteral("All files (*)"));
        QCOMPARE(qtFileDialogFilter("Sources|*.tex;*.ltx|Bib (*.bib)|*.bib||"), QStringLiteral("Sources (*.tex *.ltx);;Bib (*.bib)"));
        // XWayland only where it is there and Qt was told nothing else.
        const auto platform = [](std::map<std::string, std::string> values) {
            return preferredQtPlatform([values](const std::string& name) -> std::optional<std::string> {
                return values.count(name) ? std::optional(values.at(name)) : std::nullopt;
            });
        };
        QCOMPARE(platform({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}}), std::optional<std::string>("xcb"));
        QVERIFY(!platform({{"WAYLAND_DISPLAY", "w"}}) && !platform({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}}));
        QCOMPARE(commandTailOf({"kestro", "my", "paper.tex"}), std::string("my paper.tex"));
        QCOMPARE(startupDocument("\"sub dir/a.tex\"", std::string("/w/")), std::string("/w/sub dir/a.tex"));
        QCOMPARE(startupDocument("/abs/a.tex", std::string("/w")), std::string("/abs/a.tex"));
        // Last: it leaves the translations installed.
        if (QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm")) {
            QVERIFY(installQtTranslations(QLocale(QLocale::Japanese, QLocale::Japan)));
            QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
        }
    }
};

QTEST_MAIN(BarWindowTest)
#include "BarWindowTest.moc"

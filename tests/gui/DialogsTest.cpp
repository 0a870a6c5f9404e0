// The configuration dialogs through their real widgets: OK and Cancel, the
// check-box rules of the paper size dialog, the settings panel's buttons,
// and the small helpers the Linux bar starts with.
#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QLibraryInfo>
#include <QCheckBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "BarSession.h"
#include "FileDialogFilter.h"
#include "GuiTestSupport.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "StartupEnvironment.h"
#include "QtTranslations.h"
#include "WindowPlacement.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"

using namespace kestro;
using namespace kestro::test;

namespace {

// The widgets of a window in tab order, starting at `first`.
QList<QWidget*> tabOrder(QWidget* first, int count) {
    QList<QWidget*> order{first};
    QWidget* next = first;
    while (order.size() < count) {
        next = next->nextInFocusChain();
        if (next == first) break;
        if (next->focusPolicy() & Qt::TabFocus) order << next;
    }
    return order;
}

}  // namespace

class DialogsTest : public QObject, private BarFixture {
    Q_OBJECT

    // Answers the next dialog of type T with `answer`.
    template <typename T>
    void whenOpen(const std::function<void(T*)>& answer) {
        user->setHandler([answer](QWidget* window) {
            auto* dialog = qobject_cast<T*>(window);
            if (dialog != nullptr) answer(dialog);
            return dialog != nullptr;
        });
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { reset(); }
    void cleanup() { reset(); }

    void dialogsShowTheirControlsInTemplateOrder() {
        start("[Settings]\nPdfNeShow=1\nPdfSizeNo=4\nMkIdxNvr=2\n");
        PaperSizeDialog paperModel(session->settings());
        QtPaperSizeDialog paper(paperModel);
        QCOMPARE(paper.windowTitle(), QStringLiteral("PDF 作成の用紙サイズ"));
        QVERIFY(paper.radioAt(4)->isChecked());
        QCOMPARE(paper.radioAt(4)->text(), QStringLiteral("Landscape"));
        QVERIFY(paper.skipFromNowOnBox()->isChecked());
        auto* ok = paper.findChild<QPushButton*>(QStringLiteral("button1"));
        auto* cancel = paper.findChild<QPushButton*>(QStringLiteral("button2"));
        QVERIFY(ok->isDefault());
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        QCOMPARE(tabOrder(ok, 5), (QList<QWidget*>{ok, cancel, paper.skipUntilRestartBox(),
                                                   paper.skipFromNowOnBox(), paper.radioAt(0)}));

        IndexOptionsDialog indexModel(session->settings());
        QtIndexOptionsDialog index(indexModel);
        auto* indexOk = index.findChild<QPushButton*>(QStringLiteral("button1"));
        auto* indexCancel = index.findChild<QPushButton*>(QStringLiteral("button2"));
        QCOMPARE(tabOrder(indexOk, 4),
                 (QList<QWidget*>{indexOk, indexCancel, index.optionsEdit(), index.neverShowBox()}));
        QCOMPARE(index.neverShowBox()->text(), QStringLiteral("今後、自動ではこのメッセージを表示しない。"));
        QVERIFY(index.neverShowBox()->isChecked());  // MkIdxNvr=2 counts as set
    }

    void paperCheckBoxesExcludeEachOtherButNeverSetTheOther() {
        start("[Settings]\nPdfNeShow=1\nPdfNShow=1\n");
        PaperSizeDialog model(session->settings());
        QtPaperSizeDialog dialog(model);
        dialog.show();
        QCheckBox* untilRestart = dialog.skipUntilRestartBox();
        QCheckBox* fromNowOn = dialog.skipFromNowOnBox();
        QVERIFY(untilRestart->isChecked() && fromNowOn->isChecked());
        // Each click, then what both boxes show after it.
        const QList<std::tuple<QCheckBox*, bool, bool>> steps = {
            {untilRestart, false, true},   // clears only itself
            {untilRestart, true, false},   // set: the other one goes
            {fromNowOn, false, true},
            {fromNowOn, false, false}};    // clearing never sets the other
        for (const auto& [box, restart, never] : steps) {
            clickBox(box);
            QCOMPARE(untilRestart->isChecked(), restart);
            QCOMPARE(fromNowOn->isChecked(), never);
            QCOMPARE(model.skipUntilRestart, int(restart));
            QCOMPARE(model.skipFromNowOn, int(never));
        }
    }

    void paperOkStoresTheChoiceAndCancelNothing() {
        BarSession& bar = start("");
        whenOpen<QtPaperSizeDialog>([](QtPaperSizeDialog* dialog) {
            clickBox(dialog->radioAt(7));
            clickBox(dialog->skipFromNowOnBox());
            QTest::keyClick(dialog, Qt::Key_Return);  // Enter is OK
        });
        QCOMPARE(choosePaperSize(bar.core().state(), bar.core().services()), 1);
        QCOMPARE(bar.core().state().paperSizeNo, 7);
        QCOMPARE(bar.core().state().paperDialogNever, 1);
        QVERIFY(work->settings().contains(QStringLiteral("PdfSizeNo=7")));
        QVERIFY(work->settings().contains(QStringLiteral("PdfNeShow=1")));

        const QString before = work->settings();
        bool shown = false;
        whenOpen<QtPaperSizeDialog>([&](QtPaperSizeDialog* dialog) {
            shown = dialog->radioAt(7)->isChecked();
            clickBox(dialog->radioAt(0));
            clickBox(dialog->skipUntilRestartBox());
            auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("button2"));
            cancel->setFocus();
            QTest::keyClick(cancel, Qt::Key_Return);  // Enter on Cancel cancels
        });
        QCOMPARE(choosePaperSize(bar.core().state(), bar.core().services()), 0);
        QVERIFY(shown);
        QCOMPARE(bar.core().state().paperSizeNo, 7);
        QCOMPARE(work->settings(), before);
    }

    void indexDialogOkStoresTheOptionsAsTypedAndCancelNothing() {
        BarSession& bar = start("");
        QString shown = QStringLiteral("unset");
        whenOpen<QtIndexOptionsDialog>([&](QtIndexOptionsDialog* dialog) {
            shown = dialog->optionsEdit()->text();
            dialog->optionsEdit()->setFocus();
            QTest::keyClicks(dialog->optionsEdit(), QStringLiteral("  -s "));
            dialog->optionsEdit()->insert(QStringLiteral("索引 "));
            clickBox(dialog->neverShowBox());
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button1")), Qt::LeftButton);
        });
        editIndexOptions(bar.core().state(), bar.core().services());
        QCOMPARE(shown, QString());  // no key yet
        QCOMPARE(text(bar.core().state().indexOptions), QStringLiteral("  -s 索引 "));
        QCOMPARE(bar.core().state().indexDialogNever, 1);
        QVERIFY(work->settings().contains(QStringLiteral("MkIdxNvr=1")));

        bool boxShown = false;
        whenOpen<QtIndexOptionsDialog>([&](QtIndexOptionsDialog* dialog) {
            shown = dialog->optionsEdit()->text();
            boxShown = dialog->neverShowBox()->isChecked();
            dialog->optionsEdit()->setText(QStringLiteral("-g"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button2")), Qt::LeftButton);
        });
        editIndexOptions(bar.core().state(), bar.core().services());
        // Read back as the settings file keeps values: without the blanks around.
        QCOMPARE(shown, QStringLiteral("-s 索引"));
        QVERIFY(boxShown);
        QCOMPARE(text(bar.core().state().indexOptions), QStringLiteral("  -s 索引 "));
    }

    void settingsPanelButtonsRunTheirOperations() {
        BarSession& bar = start("[Settings]\nBib=/opt/tex/pbibtex\n");
        const QString compiler = work->script(QStringLiteral("tex/bin/platex"), "exit 0\n");
        QStringList seen;
        bool closeIsDefault = false;
        user->setHandler([&](QWidget* window) {
            seen << window->objectName();
            if (auto* panel = qobject_cast<QtSettingsDialog*>(window)) {
                closeIsDefault = panel->button(1)->isDefault();
                panel->button(32774)->click();  // jBibTeX, cancelled: back to the default
                panel->button(32772)->click();  // TeX: OK, then a compiler is chosen
                panel->button(32777)->setFocus();  // index options by Enter, cancelled
                QTest::keyClick(panel->button(32777), Qt::Key_Return);
                panel->button(32776)->click();  // paper size, cancelled
                panel->button(1004)->click();   // editor, cancelled
                panel->button(1)->click();
                return true;
            }
            if (auto* box = qobject_cast<QMessageBox*>(window)) {
                // OK for the compiler question, Cancel for the others.
                const bool tex = box->text().startsWith(QStringLiteral("TeX の compiler"));
                box->button(tex ? QMessageBox::Ok : QMessageBox::Cancel)->click();
                return true;
            }
            auto* files = qobject_cast<QFileDialog*>(window);
            if (files == nullptr || seen.count(window->objectName()) != 1) return false;
            acceptFileDialog(files, compiler);
            return true;
        });
        bar.window().button(BarControl::Settings)->click();
        QVERIFY(closeIsDefault);
        QCOMPARE(seen, (QStringList{QStringLiteral("settingsDialog"), QStringLiteral("kestroMessageBox"),
                                    QStringLiteral("kestroMessageBox"), QStringLiteral("kestroFileDialog"),
                                    QStringLiteral("indexOptionsDialog"), QStringLiteral("paperSizeDialog"),
                                    QStringLiteral("kestroFileDialog")}));
        // The bar re-read what the panel stored.
        const std::string directory = bytes(work->path(QStringLiteral("tex/bin/")));
        QCOMPARE(bar.core().state().texCommand, bytes(compiler));
        QCOMPARE(bar.core().state().bibtexCommand, directory + "pbibtex");
        QCOMPARE(bar.core().state().indexCommand, directory + "mendex");
        QCOMPARE(bar.core().state().dvipdfCommand, directory + "dvipdfmx");
    }

    // Whatever the desktop's language, and beside the bar.
    void messageBoxesReadOkAndCancel() {
        BarSession& bar = start("");
        QStringList texts;
        bool overlaps = true;
        user->setHandler([&](QWidget* window) {
            for (QAbstractButton* button : qobject_cast<QMessageBox*>(window)->buttons()) {
                texts << button->text() + (button->icon().isNull() ? "" : "+icon");
            }
            overlaps = window->frameGeometry().intersects(bar.window().frameGeometry());
            return false;
        });
        showAppMessage(bar.core().services(), "?", BoxButtons::OkCancel);
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
        QVERIFY(!overlaps);
    }

    // Every corner of a screen, two screens, a panel at the top: the
    // window lies on the bar's screen and leaves the bar free.
    void windowsGoBesideTheBarOnItsScreen_data() {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<QRect>("bar");
        QTest::addColumn<int>("barScreen");
        const QList<QRect> one{{0, 0, 1280, 800}};
        const QList<QRect> two{{0, 0, 1280, 800}, {1280, -200, 1920, 1080}};
        QTest::newRow("top left") << one << QRect(0, 0, 480, 90) << 0;
        QTest::newRow("top right") << one << QRect(800, 0, 480, 90) << 0;
        QTest::newRow("bottom left") << one << QRect(0, 710, 480, 90) << 0;
        QTest::newRow("bottom right") << one << QRect(800, 710, 480, 90) << 0;
        QTest::newRow("second screen") << two << QRect(2720, -200, 480, 90) << 1;
        QTest::newRow("across two screens") << two << QRect(1100, 0, 480, 90) << 1;
        QTest::newRow("top panel") << QList<QRect>{{0, 28, 1280, 772}} << QRect(800, 28, 480, 90) << 0;
    }

    void windowsGoBesideTheBarOnItsScreen() {
        QFETCH(QList<QRect>, screens);
        QFETCH(QRect, bar);
        QFETCH(int, barScreen);
        const QRect area = screens[barScreen];
        for (const QSize size : {QSize(640, 420), QSize(300, 150)}) {
            const QRect placed(placeBesideBar(size, bar, screens), size);
            QVERIFY2(area.contains(placed), qPrintable(QStringLiteral("%1,%2").arg(placed.x()).arg(placed.y())));
            QVERIFY(!placed.intersects(bar));
        }
        // Too big for the screen: its top left corner stays on it.
        QVERIFY(area.contains(placeBesideBar(QSize(2000, 1200), bar, screens)));
    }

    void fileDialogFiltersForLinux() {
        QCOMPARE(qtFileDialogFilter("TeX file (*.tex)|*.tex||"), QStringLiteral("TeX file (*.tex)"));
        QCOMPARE(qtFileDialogFilter("Exe files (*.exe)|*.exe||"), QStringLiteral("All files (*)"));
        QCOMPARE(qtFileDialogFilter("Sources|*.tex;*.ltx|Bib (*.bib)|*.bib||"),
                 QStringLiteral("Sources (*.tex *.ltx);;Bib (*.bib)"));
    }

    void startupChoosesXWaylandOnlyWhenItIsThereAndTakesTheWholeTail() {
        const auto lookup = [](std::map<std::string, std::string> values) {
            return [values](const std::string& name) -> std::optional<std::string> {
                const auto found = values.find(name);
                if (found == values.end()) return std::nullopt;
                return found->second;
            };
        };
        QCOMPARE(preferredQtPlatform(lookup({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}})),
                 std::optional<std::string>("xcb"));
        QVERIFY(!preferredQtPlatform(lookup({{"WAYLAND_DISPLAY", "wayland-0"}})));
        QVERIFY(!preferredQtPlatform(
            lookup({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}})));

        QCOMPARE(commandTailOf({"kestro", "my", "paper.tex"}), std::string("my paper.tex"));
        QCOMPARE(startupDocument("\"sub dir/a.tex\"", std::string("/w/")), std::string("/w/sub dir/a.tex"));
        QCOMPARE(startupDocument("/abs/a.tex", std::string("/w")), std::string("/abs/a.tex"));
        QCOMPARE(startupDocument("", std::string("/w")), std::string());
    }

    // Last: it leaves the translations installed.
    void qtsOwnWordsFollowTheDesktopsLanguage() {
        if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_ja.qm")) {
            QSKIP("Qt's Japanese translations are not installed");
        }
        QVERIFY(installQtTranslations(QLocale(QLocale::Japanese, QLocale::Japan)));
        QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"

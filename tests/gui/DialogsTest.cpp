// The configuration dialogs through their real widgets: controls, order,
// OK and Cancel, the check-box rules of the paper size dialog, and the
// settings panel's buttons.
#include <QApplication>
#include <QCheckBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <memory>

#include "BarSession.h"
#include "DialogUnits.h"
#include "FileDialogFilter.h"
#include "GuiTestSupport.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "StartupEnvironment.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"

using namespace kestro;
using namespace kestro::test;

namespace {

// Clicks a check box on its indicator, where a user clicks.
void clickBox(QCheckBox* box) { QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2)); }

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

class DialogsTest : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<Workspace> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<BarSession> session;

    BarSession& startBar(const QByteArray& ini) {
        work->write(QStringLiteral("Kestro.ini"), ini);
        session = std::make_unique<BarSession>(bytes(work->settingsPath()), "kestro", std::string());
        session->start();
        return *session;
    }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() {
        work = std::make_unique<Workspace>();
        user = std::make_unique<ModalAnswerer>();
    }
    void cleanup() {
        session.reset();
        user.reset();
        work.reset();
    }

    void paperDialogShowsTheStoredChoiceInTemplateOrder() {
        startBar("[Settings]\nPdfNeShow=1\nPdfSizeNo=4\n");
        PaperSizeDialog model(session->settings());
        QtPaperSizeDialog dialog(model);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("PDF 作成の用紙サイズ"));
        QVERIFY(dialog.radioAt(4)->isChecked());
        QCOMPARE(dialog.radioAt(4)->text(), QStringLiteral("Landscape"));
        QCOMPARE(dialog.radioAt(5)->text(), QStringLiteral("B3"));
        QVERIFY(!dialog.skipUntilRestartBox()->isChecked());
        QVERIFY(dialog.skipFromNowOnBox()->isChecked());
        // OK, Cancel, the two boxes, then the sizes.
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("button1"));
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("button2"));
        QVERIFY(ok->isDefault());
        QCOMPARE(cancel->text(), QStringLiteral("ｷｬﾝｾﾙ"));
        const QList<QWidget*> order = tabOrder(ok, 5);
        QCOMPARE(order, (QList<QWidget*>{ok, cancel, dialog.skipUntilRestartBox(), dialog.skipFromNowOnBox(),
                                         dialog.radioAt(0)}));
        // Every caption fits its control.
        for (QWidget* control : dialog.findChildren<QWidget*>()) {
            if (auto* button = qobject_cast<QAbstractButton*>(control)) {
                QVERIFY2(button->width() >= button->sizeHint().width(), qPrintable(button->text()));
            }
        }
        for (QLabel* label : dialog.findChildren<QLabel*>()) {
            QVERIFY2(label->height() >= label->heightForWidth(label->width()) || !label->wordWrap(),
                     qPrintable(label->text()));
            if (!label->wordWrap()) QVERIFY2(label->width() >= label->sizeHint().width(), qPrintable(label->text()));
        }
    }

    void paperDialogWithAnUnknownSizeChecksNothingAndOkStoresMinusOne() {
        startBar("[Settings]\nPdfNeShow=1\nPdfSizeNo=20\n");
        PaperSizeDialog model(session->settings());
        QtPaperSizeDialog dialog(model);
        for (int i = 0; i < 14; ++i) QVERIFY(!dialog.radioAt(i)->isChecked());
        dialog.accept();
        QCOMPARE(model.sizeNo, -1);
    }

    void paperCheckBoxesExcludeEachOtherButNeverSetTheOther() {
        startBar("[Settings]\nPdfNeShow=1\nPdfNShow=1\n");
        PaperSizeDialog model(session->settings());
        QtPaperSizeDialog dialog(model);
        dialog.show();
        QCheckBox* untilRestart = dialog.skipUntilRestartBox();
        QCheckBox* fromNowOn = dialog.skipFromNowOnBox();
        QVERIFY(untilRestart->isChecked() && fromNowOn->isChecked());

        clickBox(untilRestart);  // clears only itself
        QVERIFY(!untilRestart->isChecked());
        QVERIFY(fromNowOn->isChecked());
        QCOMPARE(model.skipUntilRestart, 0);

        clickBox(untilRestart);  // set: the other one goes
        QVERIFY(untilRestart->isChecked());
        QVERIFY(!fromNowOn->isChecked());
        QCOMPARE(model.skipFromNowOn, 0);

        clickBox(fromNowOn);
        QVERIFY(fromNowOn->isChecked());
        QVERIFY(!untilRestart->isChecked());

        clickBox(fromNowOn);  // clearing never sets the other
        QVERIFY(!fromNowOn->isChecked());
        QVERIFY(!untilRestart->isChecked());
        QCOMPARE(model.skipUntilRestart + model.skipFromNowOn, 0);
    }

    void paperOkStoresTheChoiceAndCancelNothing() {
        BarSession& bar = startBar("");
        user->setHandler([](QWidget* window) {
            auto* dialog = qobject_cast<QtPaperSizeDialog*>(window);
            if (dialog == nullptr) return false;
            QTest::mouseClick(dialog->radioAt(7), Qt::LeftButton, Qt::NoModifier, QPoint(6, dialog->radioAt(7)->height() / 2));
            clickBox(dialog->skipFromNowOnBox());
            QTest::keyClick(dialog, Qt::Key_Return);  // Enter is OK
            return true;
        });
        QCOMPARE(choosePaperSize(bar.core().state(), bar.core().services()), 1);
        QCOMPARE(bar.core().state().paperSizeNo, 7);
        QCOMPARE(bar.core().state().paperDialogNever, 1);
        QCOMPARE(bar.core().state().paperSizeSticky, 1);
        QVERIFY(work->settings().contains(QStringLiteral("PdfSizeNo=7")));
        QVERIFY(work->settings().contains(QStringLiteral("PdfNeShow=1")));

        const QString before = work->settings();
        user->setHandler([](QWidget* window) {
            auto* dialog = qobject_cast<QtPaperSizeDialog*>(window);
            if (dialog == nullptr) return false;
            QTest::mouseClick(dialog->radioAt(0), Qt::LeftButton, Qt::NoModifier, QPoint(6, dialog->radioAt(0)->height() / 2));
            clickBox(dialog->skipUntilRestartBox());
            QTest::keyClick(dialog, Qt::Key_Escape);
            return true;
        });
        QCOMPARE(choosePaperSize(bar.core().state(), bar.core().services()), 0);
        QCOMPARE(bar.core().state().paperSizeNo, 7);
        QCOMPARE(work->settings(), before);
    }

    void indexDialogEditsTheOptionsAsTyped() {
        BarSession& bar = startBar("");
        user->setHandler([](QWidget* window) {
            auto* dialog = qobject_cast<QtIndexOptionsDialog*>(window);
            if (dialog == nullptr) return false;
            if (dialog->windowTitle() != QStringLiteral("MakeIndex のオプション")) return false;
            if (!dialog->optionsEdit()->text().isEmpty()) return false;  // opens empty: no key yet
            dialog->optionsEdit()->setFocus();
            QTest::keyClicks(dialog->optionsEdit(), QStringLiteral("  -s "));
            dialog->optionsEdit()->insert(QStringLiteral("索引 "));
            clickBox(dialog->neverShowBox());
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button1")), Qt::LeftButton);
            return true;
        });
        editIndexOptions(bar.core().state(), bar.core().services());
        QCOMPARE(text(bar.core().state().indexOptions), QStringLiteral("  -s 索引 "));
        QCOMPARE(bar.core().state().indexDialogNever, 1);
        QVERIFY(work->settings().contains(QStringLiteral("MkIdxNvr=1")));

        // Opens on what is stored; Cancel keeps it.
        QString shown;
        bool boxShown = false;
        user->setHandler([&](QWidget* window) {
            auto* dialog = qobject_cast<QtIndexOptionsDialog*>(window);
            if (dialog == nullptr) return false;
            shown = dialog->optionsEdit()->text();
            boxShown = dialog->neverShowBox()->isChecked();
            dialog->optionsEdit()->setText(QStringLiteral("-g"));
            QTest::mouseClick(dialog->findChild<QPushButton*>(QStringLiteral("button2")), Qt::LeftButton);
            return true;
        });
        editIndexOptions(bar.core().state(), bar.core().services());
        // Read back as the settings file keeps values: without the blanks around.
        QCOMPARE(shown, QStringLiteral("-s 索引"));
        QVERIFY(boxShown);
        QCOMPARE(text(bar.core().state().indexOptions), QStringLiteral("  -s 索引 "));
    }

    void indexDialogControlsAreInTemplateOrder() {
        startBar("");
        IndexOptionsDialog model(session->settings());
        QtIndexOptionsDialog dialog(model);
        auto* ok = dialog.findChild<QPushButton*>(QStringLiteral("button1"));
        auto* cancel = dialog.findChild<QPushButton*>(QStringLiteral("button2"));
        QCOMPARE(tabOrder(ok, 4), (QList<QWidget*>{ok, cancel, dialog.optionsEdit(), dialog.neverShowBox()}));
        QVERIFY(ok->isDefault());
        QCOMPARE(dialog.neverShowBox()->text(), QStringLiteral("今後、自動ではこのメッセージを表示しない。"));
    }

    void settingsPanelButtonsRunTheirOperations() {
        BarSession& bar = startBar("[Settings]\nBib=/opt/tex/pbibtex\n");
        const QString compiler = work->script(QStringLiteral("tex/bin/platex"), "exit 0\n");
        QStringList seen;
        QString title;
        bool closeIsDefault = false;
        bool tabOrderAsTemplate = false;
        user->setHandler([&](QWidget* window) {
            seen << window->objectName();
            if (auto* panel = qobject_cast<QtSettingsDialog*>(window)) {
                title = panel->windowTitle();
                closeIsDefault = panel->button(1)->isDefault();
                // In template order: Close first, then the column top down.
                const QList<int> ids = {1, 1004, 32772, 32774, 32775, 32778, 32777, 32776};
                QList<QWidget*> expected;
                for (int id : ids) expected << panel->button(id);
                tabOrderAsTemplate = tabOrder(panel->button(1), 8) == expected;
                panel->button(32774)->click();  // jBibTeX, cancelled: back to the default
                panel->button(32772)->click();  // TeX: OK, then a compiler is chosen
                panel->button(32777)->click();  // index options, cancelled
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
            if (auto* files = qobject_cast<QFileDialog*>(window)) {
                if (files->nameFilters() == QStringList{QStringLiteral("All files (*)")} && seen.count(window->objectName()) == 1) {
                    acceptFileDialog(files, compiler);
                    return true;
                }
            }
            return false;
        });
        bar.window().button(BarControl::Settings)->click();
        QCOMPARE(title, QStringLiteral("設定"));
        QVERIFY(closeIsDefault);
        QVERIFY(tabOrderAsTemplate);
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

    void fileDialogFiltersForLinux() {
        QCOMPARE(qtFileDialogFilter("TeX file (*.tex)|*.tex||"), QStringLiteral("TeX file (*.tex)"));
        QCOMPARE(qtFileDialogFilter("Exe files (*.exe)|*.exe||"), QStringLiteral("All files (*)"));
        QCOMPARE(qtFileDialogFilter("実行ファイル(*.exe)|*.exe||"), QStringLiteral("All files (*)"));
        QCOMPARE(qtFileDialogFilter("Sources|*.tex;*.ltx|Bib (*.bib)|*.bib||"),
                 QStringLiteral("Sources (*.tex *.ltx);;Bib (*.bib)"));
    }

    void dialogUnitsScaleWithTheFont() {
        const DialogUnits units(8.0, 16.0);
        QCOMPARE(units.rect(4, 8, 22, 21), QRect(8, 16, 44, 42));
        QCOMPARE(units.stretchedToFit(14, 40).y(14), 40);
        QCOMPARE(units.stretchedToFit(14, 10).y(14), 28);  // never shrinks
        QCOMPARE(units.widenedToFit(50, 130).x(50), 130);
    }

    void startupChoosesXWaylandOnlyWhenItIsThere() {
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
        QVERIFY(!preferredQtPlatform(lookup({{"DISPLAY", ":0"}})));
        QVERIFY(!preferredQtPlatform(
            lookup({{"WAYLAND_DISPLAY", "wayland-0"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}})));
    }

    void startupDocumentIsTheWholeTailMadeAbsolute() {
        QCOMPARE(commandTailOf({"kestro", "my", "paper.tex"}), std::string("my paper.tex"));
        QCOMPARE(commandTailOf({"kestro"}), std::string());
        QCOMPARE(startupDocument("paper.tex", std::string("/home/u")), std::string("/home/u/paper.tex"));
        QCOMPARE(startupDocument("\"sub dir/a.tex\"", std::string("/w/")), std::string("/w/sub dir/a.tex"));
        QCOMPARE(startupDocument("/abs/a.tex", std::string("/w")), std::string("/abs/a.tex"));
        QCOMPARE(startupDocument("", std::string("/w")), std::string());
        QCOMPARE(startupDocument("a.tex", std::nullopt), std::string("a.tex"));
    }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"

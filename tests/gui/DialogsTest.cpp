// The Qt bar's dialogs through their real widgets: each control reaches its
// operation, and what only the Linux bar does (where windows go, its file
// dialog filters, its start-up, Qt's own words).
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFile>
#include <QFileDialog>
#include <QLibraryInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "FileDialogFilter.h"
#include "GuiTestSupport.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "QtTranslations.h"
#include "StartupEnvironment.h"
#include "WindowPlacement.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"

using namespace kestro;
using namespace kestro::test;

class DialogsTest : public QObject, private BarFixture {
    Q_OBJECT

    // Answers the next dialog of type T with `answer`.
    template <typename T>
    void whenOpen(const std::function<void(T*)>& answer) {
        user->handler = [answer](QWidget* window) {
            auto* dialog = qobject_cast<T*>(window);
            if (dialog != nullptr) answer(dialog);
            return dialog != nullptr;
        };
    }
    std::string settings() { return readFile(*work / "Kestro.ini").value_or(""); }

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void init() { reset(); }
    void cleanup() { reset(); }

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
        for (const char* key : {"PdfNShow=1", "PdfNeShow=0", "PdfSizeNo=7"}) QVERIFY(settings().find(key) != std::string::npos);
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
    // default; the bar re-reads what the panel stored.
    void theSettingsPanelsButtonsRunTheirOperations() {
        BarSession& bar = start("");
        const std::string compiler = writeScript(*work / "tex/bin/platex", "exit 0");
        QStringList seen;
        bool closeIsDefault = false;
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
                box->button(box->text().startsWith(QStringLiteral("TeX の compiler")) ? QMessageBox::Ok : QMessageBox::Cancel)
                    ->click();
                return true;
            }
            if (qobject_cast<QFileDialog*>(window) == nullptr || seen.count(window->objectName()) != 1) return false;
            acceptFileDialog(window, compiler);
            return true;
        };
        bar.window().button(BarControl::Settings)->click();
        QVERIFY(closeIsDefault);
        QCOMPARE(seen, (QStringList{"settingsDialog", "kestroMessageBox", "kestroMessageBox", "kestroFileDialog",
                                    "indexOptionsDialog", "paperSizeDialog", "kestroFileDialog"}));
        QCOMPARE(bar.core().state().texCommand, compiler);
        QCOMPARE(bar.core().state().indexCommand, *work / "tex/bin/mendex");
    }

    // Whatever the desktop's language, and beside the bar.
    void messageBoxesReadOkAndCancelBesideTheBar() {
        BarSession& bar = start("");
        QStringList texts;
        bool overlaps = true;
        user->handler = [&](QWidget* window) {
            for (QAbstractButton* button : qobject_cast<QMessageBox*>(window)->buttons()) texts << button->text();
            overlaps = window->frameGeometry().intersects(bar.window().frameGeometry());
            return false;
        };
        showAppMessage(bar.core().services(), "?", BoxButtons::OkCancel);
        texts.sort();
        QCOMPARE(texts, (QStringList{QStringLiteral("OK"), QStringLiteral("キャンセル")}));
        QVERIFY(!overlaps);
    }

    // Every corner of a screen, two screens, a panel at the top: a window
    // lies on the bar's screen and leaves the bar free; one too big keeps
    // its top left corner on it.
    void windowsGoBesideTheBarOnItsScreen() {
        const QList<QRect> one{{0, 0, 1280, 800}}, two{{0, 0, 1280, 800}, {1280, -200, 1920, 1080}};
        const std::tuple<QList<QRect>, QRect, int> rows[] = {
            {one, {0, 0, 480, 90}, 0}, {one, {800, 0, 480, 90}, 0}, {one, {0, 710, 480, 90}, 0},
            {one, {800, 710, 480, 90}, 0}, {two, {2720, -200, 480, 90}, 1}, {two, {1100, 0, 480, 90}, 1},
            {{{0, 28, 1280, 772}}, {800, 28, 480, 90}, 0},
        };
        for (const auto& [screens, bar, screen] : rows) {
            for (const QSize size : {QSize(640, 420), QSize(300, 150)}) {
                const QRect placed(placeBesideBar(size, bar, screens), size);
                QVERIFY(screens[screen].contains(placed) && !placed.intersects(bar));
            }
            QVERIFY(screens[screen].contains(placeBesideBar(QSize(2000, 1200), bar, screens)));
        }
    }

    // The file dialogs' filters, the start-up's platform and document, and
    // Qt's own words in the desktop's language.
    void filtersStartUpAndQtsOwnWords() {
        QCOMPARE(qtFileDialogFilter("TeX file (*.tex)|*.tex||"), QStringLiteral("TeX file (*.tex)"));
        QCOMPARE(qtFileDialogFilter("Exe files (*.exe)|*.exe||"), QStringLiteral("All files (*)"));
        QCOMPARE(qtFileDialogFilter("Sources|*.tex;*.ltx|Bib (*.bib)|*.bib||"), QStringLiteral("Sources (*.tex *.ltx);;Bib (*.bib)"));
        // XWayland only where it is there and Qt was told nothing else.
        const auto lookup = [](std::map<std::string, std::string> values) {
            return [values](const std::string& name) -> std::optional<std::string> {
                const auto found = values.find(name);
                return found == values.end() ? std::nullopt : std::optional(found->second);
            };
        };
        QCOMPARE(preferredQtPlatform(lookup({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}})), std::optional<std::string>("xcb"));
        QVERIFY(!preferredQtPlatform(lookup({{"WAYLAND_DISPLAY", "w"}})));
        QVERIFY(!preferredQtPlatform(lookup({{"WAYLAND_DISPLAY", "w"}, {"DISPLAY", ":0"}, {"QT_QPA_PLATFORM", "wayland"}})));
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

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"

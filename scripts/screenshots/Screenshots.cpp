// Takes the screenshots of the bar, its dialogs and a message box with
// Japanese text, for a person to look at: kestro_gui_screenshots OUTDIR.
// Run under an X server (scripts/screenshots-linux.sh starts Xvfb).
#include <QApplication>
#include <QCheckBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLocale>
#include <QElapsedTimer>
#include <QWindow>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <functional>

#include "BarIcons.h"
#include "BarSession.h"
#include "QtAboutDialog.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "QtSettingsDialog.h"
#include "QtTranslations.h"
#include "ToolConsole.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"

namespace {

QString outputDir;

// Sees the first time a window paints itself.
class PaintWatch : public QObject {
public:
    explicit PaintWatch(QWidget* window) : window_(window) { window->installEventFilter(this); }
    ~PaintWatch() override { window_->removeEventFilter(this); }
    bool painted = false;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Paint) painted = true;
        return false;
    }

private:
    QWidget* window_;
};

void runEventsFor(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
}

// A window just shown may not be on the screen yet: wait until it is exposed
// and has painted itself, then a moment for the window manager's frame.
void waitUntilPainted(QWidget* window) {
    PaintWatch watch(window);
    window->update();
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 5000) {
        const QWindow* handle = window->windowHandle();
        if (watch.painted && handle != nullptr && handle->isExposed()) break;
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    if (!watch.painted) std::fprintf(stderr, "%s: not painted after 5 s\n", qPrintable(window->objectName()));
    runEventsFor(200);
}

void save(QWidget* window, const QString& name) {
    waitUntilPainted(window);
    // The whole window with its frame when a window manager draws one.
    QScreen* screen = window->screen();
    // Clipped to the screen: a frame that reaches past its edge yields nothing.
    const QRect frame = window->frameGeometry().intersected(screen->geometry());
    QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || shot.width() < 2) shot = window->grab();
    const QString path = QDir(outputDir).filePath(name + QStringLiteral(".png"));
    shot.save(path);
    std::printf("%s\n", qPrintable(path));
}

// The whole screen, to see where the windows lie, once the window manager
// has carried out their moves (at scale 2 that takes a moment).
void saveScreen(QWidget* window, const QString& name) {
    waitUntilPainted(window);
    runEventsFor(1000);
    const QString path = QDir(outputDir).filePath(name + QStringLiteral(".png"));
    window->screen()->grabWindow(0).save(path);
    std::printf("%s\n", qPrintable(path));
}

// Shows a modal window, takes its picture (or the screen's) once it is up,
// then closes it.
void whileModal(const QString& name, const std::function<void()>& open, bool wholeScreen = false) {
    QTimer::singleShot(0, [name, wholeScreen] {
        QElapsedTimer clock;
        clock.start();
        while (QApplication::activeModalWidget() == nullptr && clock.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        if (wholeScreen) saveScreen(modal, name);
        else save(modal, name);
        modal->close();
    });
    open();
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setWindowIcon(kestro::barIcon(128));
    if (argc < 2) {
        std::fprintf(stderr, "usage: kestro_gui_screenshots OUTDIR\n");
        return 2;
    }
    outputDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outputDir);

    QTemporaryDir work;
    const std::string dir = work.path().toStdString();
    const std::string settings = dir + "/Kestro.ini";
    const std::string document = dir + "/論文 最終版/paper.tex";
    QDir().mkpath(work.path() + "/論文 最終版");
    kestro::BarSession session(settings, "kestro", document);
    session.start();
    save(&session.window(), "01-bar");

    whileModal("02-about", [&] { session.window().showAbout(); });

    kestro::SettingsDialog panelModel(session.core().services());
    whileModal("03-settings", [&] {
        kestro::QtSettingsDialog panel(panelModel, &session.window());
        panel.exec();
    });

    kestro::PaperSizeDialog paperModel(session.settings());
    whileModal("04-paper-size", [&] {
        kestro::QtPaperSizeDialog paper(paperModel, &session.window());
        paper.exec();
    });

    kestro::IndexOptionsDialog indexModel(session.settings());
    indexModel.optionsText = "-s myindex";
    whileModal("05-index-options", [&] {
        kestro::QtIndexOptionsDialog index(indexModel, &session.window());
        index.exec();
    });

    whileModal("06-message-box", [&] {
        kestro::showAppMessage(session.core().services(),
                               "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。");
    });
    whileModal("07-question-box", [&] {
        kestro::showAppMessage(session.core().services(),
                               "TeX の compiler を変更します。OK ボタンを押せば実行ファイルが選択できます。\n"
                               "キャンセルすれば、元の platex に戻ります。（パス名無しの \"platex\" のみ）",
                               kestro::BoxButtons::OkCancel);
    });
    whileModal("08-dropped-non-tex", [&] { session.core().acceptDroppedFile({dir + "/memo.txt"}); });

    // Qt's own words, in the language of the environment (LANG).
    kestro::installQtTranslations(QLocale::system());
    whileModal("12-file-dialog", [&] {
        session.ui().chooseFile({kestro::FileKind::TexDocument, kestro::FileChoice::Document});
    });

    kestro::ToolConsole* console = session.processes().console();
    console->beginRoad();
    console->beginRun(QStringLiteral("platex paper"));
    QByteArray output("This is e-pTeX, Version 3.141592653-p4.1.0 (utf8.euc) (TeX Live 2022/Debian)\r\n"
                      "(./paper.tex\r\npLaTeX2e <2021-11-15>+2\r\n");
    for (int i = 0; i < 30; ++i) output += "(/usr/share/texlive/texmf-dist/tex/platex/jsclasses/jsarticle.cls)\r\n";
    output += "! Undefined control sequence.\r\nl.12 \\hoge\r\n\r\n? ";
    console->appendOutput(output);
    save(console, "09-tool-console");
    // The whole screen: the console beside the bar.
    saveScreen(console, "11-screen");
    console->appendOutput("x\r\nNo pages of output.\r\nTranscript written on paper.log.\r\n");
    console->endRun(1);
    console->endRoad(true);
    save(console, "10-console-after-failure");

    // With the console open at the error, a box and a dialog go beside it.
    whileModal("13-box-beside-console", [&] {
        kestro::showAppMessage(session.core().services(),
                               "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。");
    }, true);
    whileModal("14-dialog-beside-console", [&] {
        kestro::QtPaperSizeDialog paper(paperModel, &session.window());
        paper.exec();
    }, true);
    // The bar's menu, after the console has gone with a road that succeeded.
    console->endRoad(false);
    QTimer::singleShot(500, [&] {
        QWidget* menu = QApplication::activePopupWidget();
        if (menu == nullptr) return;
        saveScreen(menu, "15-context-menu");
        menu->close();
    });
    QContextMenuEvent menuEvent(QContextMenuEvent::Mouse, QPoint(40, 10), session.window().mapToGlobal(QPoint(40, 10)));
    QApplication::sendEvent(&session.window(), &menuEvent);
    return 0;
}

// Takes the screenshots of the bar, its dialogs and a message box with
// Japanese text, for a person to look at: kestro_gui_screenshots OUTDIR.
// Run under an X server (scripts/screenshots-linux.sh starts Xvfb).
#include <QApplication>
#include <QCheckBox>
#include <QDir>
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
#include "ToolConsole.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"

namespace {

QString outputDir;

void save(QWidget* window, const QString& name) {
    QApplication::processEvents();
    // The whole window with its frame when a window manager draws one.
    QScreen* screen = window->screen();
    const QRect frame = window->frameGeometry();
    QPixmap shot = screen->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height());
    if (shot.isNull() || shot.width() < 2) shot = window->grab();
    const QString path = QDir(outputDir).filePath(name + QStringLiteral(".png"));
    shot.save(path);
    std::printf("%s\n", qPrintable(path));
}

// Shows a modal window, takes its picture once it is up, then closes it.
void whileModal(const QString& name, const std::function<void()>& open) {
    QTimer::singleShot(400, [name] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) return;
        save(modal, name);
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
    QApplication::processEvents();
    QTimer::singleShot(300, [] {});
    for (int i = 0; i < 20; ++i) {
        QApplication::processEvents();
    }
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

    kestro::ToolConsole* console = session.processes().console();
    console->beginRun(QStringLiteral("platex paper"));
    console->appendOutput(QByteArray("This is e-pTeX, Version 3.141592653-p4.1.0 (utf8.euc) (TeX Live 2022/Debian)\r\n"
                                     "(./paper.tex\r\npLaTeX2e <2021-11-15>+2\r\n"
                                     "! Undefined control sequence.\r\nl.12 \\hoge\r\n\r\n? "));
    save(console, "09-tool-console");
    console->endRun(0);
    return 0;
}

// One click with real TeX: the sample document goes through the compiler,
// the bibliography and index tools and the converter, and its PDF reaches
// the desktop's opener (a fake one that records what it was given).
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>

#include <memory>

#include "BarSession.h"
#include "GuiTestSupport.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

class OneClickTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }

    void oneClickEndsAtTheViewer() {
        for (const char* tool : {"platex", "pbibtex", "mendex", "dvipdfmx"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) {
                QSKIP(qPrintable(QStringLiteral("%1 is not installed").arg(QLatin1String(tool))));
            }
        }
        const QString sample = qEnvironmentVariable("KESTRO_TEST_SAMPLE_DIR");
        QVERIFY2(QFile::exists(sample + "/sample.tex"), qPrintable(sample));

        Workspace work;
        const QString folder = work.path(QStringLiteral("見本 文書"));
        QDir().mkpath(folder);
        for (const char* name : {"sample.tex", "sample.bib"}) {
            QVERIFY(QFile::copy(sample + "/" + name, folder + "/" + name));
        }
        const QString marker = work.path(QStringLiteral("viewer"));
        qputenv("KESTRO_OPENER", work.recorder(QStringLiteral("bin/viewer"), marker).toUtf8());

        ModalAnswerer user;
        QStringList dialogs;
        user.setHandler([&](QWidget* window) {
            if (qobject_cast<QtPaperSizeDialog*>(window) || qobject_cast<QtIndexOptionsDialog*>(window)) {
                dialogs << window->objectName();
                QTest::keyClick(window, Qt::Key_Return);  // as they open: A4, no options
                return true;
            }
            return false;
        });

        BarSession session(bytes(work.settingsPath()), "kestro", bytes(folder + "/sample.tex"));
        // A TeX error must end the run, not wait for an answer.
        session.processes().setEndInputAtStart(true);
        session.start();
        QTest::mouseClick(session.window().button(BarControl::OneClick), Qt::LeftButton);

        QVERIFY(waitFor([&] { return QFile::exists(marker); }, 10000));
        QCOMPARE(readFile(marker), folder + QStringLiteral("|sample.pdf"));
        QVERIFY(QFile::exists(folder + "/sample.pdf"));
        QVERIFY2(user.messages().isEmpty(), qPrintable(user.messages().join(" / ")));
        QVERIFY(dialogs.contains(QStringLiteral("paperSizeDialog")));

        // Every tool of the road ran in the console, the references settled.
        const QString shown = session.processes().console()->outputView()->toPlainText();
        for (const char* tool : {"$ platex", "$ pbibtex", "$ mendex", "$ dvipdfmx"}) {
            QVERIFY2(shown.contains(QString::fromLatin1(tool)), tool);
        }
        const QString log = readFile(folder + "/sample.log");
        QVERIFY(!log.contains(QStringLiteral("LaTeX Warning")) && !log.contains(QStringLiteral("Rerun to get")));
        QVERIFY(QFile::exists(folder + "/sample.ind") && QFile::exists(folder + "/sample.bbl"));
        qunsetenv("KESTRO_OPENER");
    }
};

QTEST_MAIN(OneClickTest)
#include "OneClickTest.moc"

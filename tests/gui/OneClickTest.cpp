// One click with real TeX: the sample document goes through the compiler,
// the bibliography and index tools and the converter in the console, and
// its PDF reaches the desktop's opener (a fake one that records it).
#include <QPlainTextEdit>
#include <QPushButton>
#include <QStandardPaths>

#include "GuiTestSupport.h"
#include "QtIndexOptionsDialog.h"
#include "QtPaperSizeDialog.h"
#include "ToolConsole.h"

using namespace kestro;
using namespace kestro::test;

class OneClickTest : public QObject {
    Q_OBJECT

private slots:
    void oneClickEndsAtTheViewer() {
        QApplication::setQuitOnLastWindowClosed(false);
        for (const char* tool : {"platex", "pbibtex", "mendex", "dvipdfmx"}) {
            if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) QSKIP(tool);
        }
        ScratchDirectory work;
        FakeTex fake(work);
        const std::string folder = work / "見本 文書", sample = qEnvironmentVariable("KESTRO_TEST_SAMPLE_DIR").toStdString();
        for (const char* name : {"sample.tex", "sample.bib"}) writeFile(folder + "/" + name, readFile(sample + "/" + name).value());
        qputenv("KESTRO_OPENER", QByteArray::fromStdString(fake.tool("viewer", "")));

        ModalAnswerer user;
        QStringList dialogs;
        user.handler = [&](QWidget* window) {
            if (!qobject_cast<QtPaperSizeDialog*>(window) && !qobject_cast<QtIndexOptionsDialog*>(window)) return false;
            dialogs << window->objectName();
            QTest::keyClick(window, Qt::Key_Return);  // as they open: A4, no options
            return true;
        };
        BarSession session(work / "Kestro.ini", "kestro", folder + "/sample.tex");
        session.processes().setEndInputAtStart(true);  // a TeX error ends the run, not waits
        session.start();
        QTest::mouseClick(session.window().button(BarControl::OneClick), Qt::LeftButton);

        QVERIFY(QTest::qWaitFor([&] { return !fake.recorded().empty(); }, 10000));
        QCOMPARE(fake.recorded(), std::vector{FakeTex::ran("viewer", "[sample.pdf]", folder)});
        QVERIFY2(user.messages.isEmpty(), qPrintable(user.messages.join(" / ")));
        QVERIFY(dialogs.contains(QStringLiteral("paperSizeDialog")));
        const QString shown = session.processes().console()->outputView()->toPlainText();
        for (const char* tool : {"$ platex", "$ pbibtex", "$ mendex", "$ dvipdfmx"}) QVERIFY2(shown.contains(tool), tool);
        QVERIFY(!session.processes().console()->isVisible());  // a road that succeeds takes its console away
        const std::string log = readFile(folder + "/sample.log").value_or("");
        QVERIFY(log.find("LaTeX Warning") == std::string::npos && log.find("Rerun to get") == std::string::npos);
        qunsetenv("KESTRO_OPENER");
    }
};

QTEST_MAIN(OneClickTest)
#include "OneClickTest.moc"

#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QTest>
#include <QTimer>

namespace kestro::test {

bool waitFor(const std::function<bool()>& condition, int timeoutMs) { return QTest::qWaitFor(condition, timeoutMs); }

ModalAnswerer::ModalAnswerer() {
    auto* timer = new QTimer(this);
    timer->start(10);
    connect(timer, &QTimer::timeout, this, [this] {
        QWidget* modal = QApplication::activeModalWidget();
        // A window is answered once, also when it is active again after
        // one it opened has closed.
        if (modal == nullptr || !modal->isVisible() || seen_.contains(modal)) return;
        seen_ << modal;
        // Answered from the event loop the window runs, once it is up.
        QTimer::singleShot(0, modal, [this, modal] {
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                messages << box->text();
                if (handler && handler(modal)) return;
                box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
                return;
            }
            windows << modal->objectName();
            if (handler && handler(modal)) return;
            if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
        });
    });
}

void acceptFileDialog(QWidget* widget, const std::string& path) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    // What a user does: types the full path into the name field, then OK.
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(text(path));
    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
}

void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void drop(QWidget* target, const std::vector<std::string>& paths) {
    QList<QUrl> urls;
    for (const std::string& path : paths) urls << QUrl::fromLocalFile(text(path));
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QApplication::processEvents();  // the drop is handled once it has ended
}

void BarFixture::reset() {
    session.reset();
    user.reset();
    work = std::make_unique<ScratchDirectory>();
    user = std::make_unique<ModalAnswerer>();
    tex = std::make_unique<FakeTex>(*work);
}

BarSession& BarFixture::start(const std::string& ini, const std::string& document) {
    writeFile(*work / "Kestro.ini", ini);
    session = std::make_unique<BarSession>(*work / "Kestro.ini", "kestro", document);
    session->start();
    return *session;
}

}  // namespace kestro::test

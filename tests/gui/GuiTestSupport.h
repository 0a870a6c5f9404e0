// Helpers of the Qt bar's tests: a stand-in user that answers the modal
// windows the bar opens, and a bar started on a scratch directory's
// settings file (the fake TeX tools and scratch files are the POSIX tests').
#pragma once

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <functional>
#include <memory>

#include "BarSession.h"
#include "PosixSupport.h"

namespace kestro::test {

using namespace posixtest;

inline QString text(const std::string& bytes) { return QString::fromStdString(bytes); }

// Waits (running the event loop) until `condition` holds; false on time-out.
inline bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    return QTest::qWaitFor(condition, timeoutMs);
}

// Answers every modal window as it opens: message boxes are recorded and
// ended with OK unless the handler takes them; other windows go to the
// handler, and are cancelled when it does not take them.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
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
                auto* box = qobject_cast<QMessageBox*>(modal);
                (box ? messages : windows) << (box ? box->text() : modal->objectName());
                if (handler && handler(modal)) return;
                if (box && box->button(QMessageBox::Ok)) return box->button(QMessageBox::Ok)->click();
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            });
        });
    }
    std::function<bool(QWidget*)> handler;
    QStringList messages;  // the texts of the message boxes seen
    QStringList windows;   // the object names of the other windows seen

private:
    QList<QPointer<QWidget>> seen_;
};

// Types `path` into a file dialog's name field, as a user does, and accepts it.
inline void acceptFileDialog(QWidget* dialog, const std::string& path) {
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(text(path));
    QMetaObject::invokeMethod(qobject_cast<QFileDialog*>(dialog), "accept", Qt::DirectConnection);
}
// Clicks a check box or radio button on its indicator, where a user clicks.
inline void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}
// Drags local files onto `target` and drops them there (when it takes them).
inline void drop(QWidget* target, const std::vector<std::string>& paths) {
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

// A scratch directory, a stand-in user, the fake TeX tools, and a bar on
// the directory's Kestro.ini once start() is called.
struct BarFixture {
    std::unique_ptr<ScratchDirectory> work;
    std::unique_ptr<ModalAnswerer> user;
    std::unique_ptr<FakeTex> tex;
    std::unique_ptr<BarSession> session;

    BarFixture() { reset(); }
    void reset() {
        session.reset();
        user.reset();
        work = std::make_unique<ScratchDirectory>();
        user = std::make_unique<ModalAnswerer>();
        tex = std::make_unique<FakeTex>(*work);
    }
    // A bar started on `ini` with `document` (empty: the first history entry).
    BarSession& start(const std::string& ini, const std::string& document = "") {
        writeFile(*work / "Kestro.ini", ini);
        session = std::make_unique<BarSession>(*work / "Kestro.ini", "kestro", document);
        session->start();
        return *session;
    }
};

}  // namespace kestro::test

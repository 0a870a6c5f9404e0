// Helpers of the Qt bar's tests: a stand-in user for the modal windows,
// clicks and drops as a user makes them.
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

// Answers each modal window as it opens: the handler may take it, else a
// box (its text recorded) gets OK and a dialog Cancel.
class ModalAnswerer : public QObject {
public:
    ModalAnswerer() {
        auto* timer = new QTimer(this);
        timer->start(10);
        connect(timer, &QTimer::timeout, this, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            // Once, also when it is active again after one it opened has closed.
            if (modal == nullptr || !modal->isVisible() || seen_.contains(modal)) return;
            seen_ << modal;
            // Answered from the event loop the window runs, once it is up.
            QTimer::singleShot(0, modal, [this, modal] {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (box) messages << box->text();
                if (handler && handler(modal)) return;
                if (box && box->button(QMessageBox::Ok)) return box->button(QMessageBox::Ok)->click();
                if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
            });
        });
    }
    std::function<bool(QWidget*)> handler;
    QStringList messages;  // the texts of the message boxes seen

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

}  // namespace kestro::test

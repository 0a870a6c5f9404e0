#include "GuiTestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QMimeData>
#include <QTimer>

#include "BarSession.h"

namespace kestro::test {

std::string bytes(const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    return std::string(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

QString text(const std::string& bytes) { return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())); }

Workspace::Workspace() { dir_.setAutoRemove(true); }

QString Workspace::path(const QString& name) const { return name.isEmpty() ? dir_.path() : dir_.filePath(name); }

QString Workspace::write(const QString& name, const QByteArray& content) {
    const QString file = path(name);
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) out.write(content);
    return file;
}

QString Workspace::script(const QString& name, const QByteArray& body) {
    const QString file = write(name, "#!/bin/sh\n" + body);
    QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup |
                                    QFile::ExeGroup);
    return file;
}

QString Workspace::settings() const {
    QFile in(settingsPath());
    if (!in.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(in.readAll());
}

QString Workspace::recorder(const QString& name, const QString& marker, int exitCode) {
    return script(name, "printf '%s|%s' \"$(pwd)\" \"$1\" > '" + marker.toUtf8() + "'\nexit " +
                            QByteArray::number(exitCode) + "\n");
}

bool waitFor(const std::function<bool()>& condition, int timeoutMs) {
    return QTest::qWaitFor(condition, timeoutMs);
}

ModalAnswerer::ModalAnswerer() : timer_(new QTimer(this)) {
    timer_->setInterval(10);
    connect(timer_, &QTimer::timeout, this, &ModalAnswerer::poll);
    timer_->start();
}

ModalAnswerer::~ModalAnswerer() = default;

void ModalAnswerer::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible()) return;
    // A window is answered once, also when it becomes the active modal
    // window again after one it opened has closed.
    for (const QPointer<QWidget>& seen : seen_) {
        if (seen == modal) return;
    }
    seen_.removeAll(nullptr);
    seen_ << modal;
    // Answered from the event loop the window runs, once it is fully up.
    QTimer::singleShot(0, modal, [this, modal] {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages_ << box->text();
            captions_ << box->windowTitle();
            if (handler_ && handler_(modal)) return;
            box->button(QMessageBox::Ok) ? box->button(QMessageBox::Ok)->click() : box->reject();
            return;
        }
        windows_ << modal->objectName();
        if (handler_ && handler_(modal)) return;
        if (auto* dialog = qobject_cast<QDialog*>(modal)) dialog->reject();
    });
}

void acceptFileDialog(QWidget* widget, const QString& path) {
    auto* dialog = qobject_cast<QFileDialog*>(widget);
    if (dialog == nullptr) return;
    // What a user does: types the full path into the name field, then OK.
    if (auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))) {
        name->setText(path);
    } else {
        dialog->selectFile(path);
    }
    QMetaObject::invokeMethod(dialog, "accept", Qt::DirectConnection);
}

QString readFile(const QString& path) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) return QString();
    return QString::fromUtf8(in.readAll()).trimmed();
}

void clickBox(QAbstractButton* box) {
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(6, box->height() / 2));
}

void drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return;
    QDropEvent dropped(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QApplication::processEvents();  // the drop is handled once it has ended
}

BarFixture::BarFixture() { reset(); }
BarFixture::~BarFixture() = default;

void BarFixture::reset() {
    session.reset();
    user.reset();
    work = std::make_unique<Workspace>();
    user = std::make_unique<ModalAnswerer>();
}

BarSession& BarFixture::start(const QByteArray& ini, const QString& document) {
    work->write(QStringLiteral("Kestro.ini"), ini);
    session = std::make_unique<BarSession>(bytes(work->settingsPath()), "kestro", bytes(document));
    session->start();
    return *session;
}

}  // namespace kestro::test

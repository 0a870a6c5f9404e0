#include "InputBlocker.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QEvent>
#include <QWidget>
#include <QWindow>

namespace kestro {

namespace {

bool isUserInput(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseMove:
    case QEvent::Wheel:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
    case QEvent::DragEnter:
    case QEvent::DragMove:
    case QEvent::Drop:
    case QEvent::TouchBegin:
    case QEvent::TouchUpdate:
    case QEvent::TouchEnd:
    case QEvent::TabletPress:
    case QEvent::TabletRelease:
    case QEvent::TabletMove:
    case QEvent::InputMethod:
        return true;
    default:
        return false;
    }
}

}  // namespace

InputBlocker::InputBlocker(QWidget* guarded) : QObject(guarded), guarded_(guarded) {}

void InputBlocker::engage() {
    if (engaged_) return;
    engaged_ = true;
    qApp->installEventFilter(this);
}

void InputBlocker::release() {
    if (!engaged_) return;
    engaged_ = false;
    qApp->removeEventFilter(this);
}

bool InputBlocker::isGuarded(QObject* object) const {
    if (guarded_ == nullptr || !object->isWidgetType()) {
        // Windows that are no widgets (the QWindow of the bar) count too.
        return guarded_ != nullptr && object == static_cast<QObject*>(guarded_->windowHandle());
    }
    auto* widget = static_cast<QWidget*>(object);
    return widget == guarded_ || guarded_->isAncestorOf(widget);
}

bool InputBlocker::eventFilter(QObject* watched, QEvent* event) {
    if (engaged_ && isUserInput(event->type()) && isGuarded(watched)) {
        if (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove) {
            static_cast<QDropEvent*>(event)->ignore();
        }
        return true;
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace kestro

#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace kestro {

namespace {

constexpr char kKeepClear[] = "kestroKeepOthersClear";

qint64 sharedArea(const QRect& a, const QRect& b) {
    const QRect both = a.intersected(b);
    return both.isEmpty() ? 0 : qint64(both.width()) * both.height();
}

// How far `point` lies outside `area` (0 inside), in a city-block measure.
int distance(const QPoint& point, const QRect& area) {
    const int dx = std::max({area.left() - point.x(), 0, point.x() - area.right()});
    const int dy = std::max({area.top() - point.y(), 0, point.y() - area.bottom()});
    return dx + dy;
}

QRect barScreen(const QRect& bar, const QList<QRect>& screens) {
    QRect best = screens.front();
    for (const QRect& screen : screens) {
        const qint64 shared = sharedArea(screen, bar);
        const qint64 bestShared = sharedArea(best, bar);
        if (shared > bestShared ||
            (shared == 0 && bestShared == 0 && distance(bar.center(), screen) < distance(bar.center(), best))) {
            best = screen;
        }
    }
    return best;
}

}  // namespace

QPoint placeBesideBar(const QSize& frame, const QRect& barFrame, const QList<QRect>& screens, const QRect& console) {
    if (screens.isEmpty()) return QPoint(barFrame.left(), barFrame.bottom() + 1);
    const QRect area = barScreen(barFrame, screens);
    // Right and bottom first: a window bigger than the screen keeps its
    // caption and its left edge on it.
    const auto onScreen = [&](const QPoint& place) {
        return QPoint(std::max(area.left(), std::min(place.x(), area.right() - frame.width() + 1)),
                      std::max(area.top(), std::min(place.y(), area.bottom() - frame.height() + 1)));
    };
    const int below = barFrame.bottom() + 1, above = barFrame.top() - frame.height();
    QList<QPoint> places{{barFrame.left(), below}};
    if (!console.isEmpty()) {
        places << QPoint(console.right() + 1, below) << QPoint(console.left() - frame.width(), below)
               << QPoint(barFrame.left(), console.bottom() + 1);
    }
    places << QPoint(barFrame.left(), above);
    for (const QPoint& place : places) {
        const QRect placed(onScreen(place), frame);
        if (!placed.intersects(barFrame) && !placed.intersects(console)) return placed.topLeft();
    }
    const bool roomBelow = below + frame.height() - 1 <= area.bottom();
    return onScreen(QPoint(barFrame.left(), !roomBelow && above >= area.top() ? above : below));
}

void keepOthersClearOf(QWidget* window) { window->setProperty(kKeepClear, true); }

void placeBesideOwningBar(QWidget* window) {
    QWidget* bar = window->parentWidget();
    if (bar == nullptr) return;
    while (bar->parentWidget() != nullptr) bar = bar->parentWidget();
    if (!bar->isVisible()) return;
    QList<QRect> screens;
    for (const QScreen* screen : QGuiApplication::screens()) screens << screen->availableGeometry();
    // A window shown for the first time has no frame yet: the bar's frame
    // is the best guess for one the desktop draws alike.
    const QPoint barInset = bar->geometry().topLeft() - bar->frameGeometry().topLeft();
    const bool frameKnown = window->frameGeometry() != window->geometry();
    QSize frame = window->frameGeometry().size();
    if (!frameKnown) frame += bar->frameGeometry().size() - bar->size();
    QRect console;
    for (const QWidget* other : bar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other != window && other->isWindow() && other->isVisible() && other->property(kKeepClear).toBool()) {
            console = other->frameGeometry();
        }
    }
    QPoint place = placeBesideBar(frame, bar->frameGeometry(), screens, console);
    // Once the native window exists, move() puts the inside of a window
    // whose frame is not known yet at the point given.
    if (window->testAttribute(Qt::WA_WState_Created) && !frameKnown) place += barInset;
    window->move(place);
}

}  // namespace kestro

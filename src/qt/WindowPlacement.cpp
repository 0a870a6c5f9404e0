#include "WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

namespace kestro {

namespace {

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

QPoint placeBesideBar(const QSize& frame, const QRect& barFrame, const QList<QRect>& screens) {
    if (screens.isEmpty()) return QPoint(barFrame.left(), barFrame.bottom() + 1);
    const QRect area = barScreen(barFrame, screens);
    int top = barFrame.bottom() + 1;
    if (top + frame.height() - 1 > area.bottom() && barFrame.top() - frame.height() >= area.top()) {
        top = barFrame.top() - frame.height();
    }
    int left = barFrame.left();
    // Right and bottom first: a window bigger than the screen keeps its
    // caption and its left edge on it.
    left = std::max(area.left(), std::min(left, area.right() - frame.width() + 1));
    top = std::max(area.top(), std::min(top, area.bottom() - frame.height() + 1));
    return QPoint(left, top);
}

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
    QPoint place = placeBesideBar(frame, bar->frameGeometry(), screens);
    // Once the native window exists, move() puts the inside of a window
    // whose frame is not known yet at the point given.
    if (window->testAttribute(Qt::WA_WState_Created) && !frameKnown) place += barInset;
    window->move(place);
}

}  // namespace kestro

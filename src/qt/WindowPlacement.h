// Where the windows the bar opens go: the console, the dialogs, the message
// boxes, the version box and the file dialogs all lie wholly on the bar's
// screen, next to the bar, whatever corner of which screen the bar is in.
#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>

class QShowEvent;
class QWidget;

namespace kestro {

// The top left corner for a window whose frame is `frame` big, within the
// available area of the bar's screen (the one of `screens` that holds most
// of the bar), moved as little as needed to lie in it. The first place that
// leaves both the bar and the console (`console`, empty when it is not
// shown) free: just below the bar with their left edges in line, to the
// right of the console, to its left, below it, above the bar. Where none
// does: below the bar, or above it when there is no room below.
QPoint placeBesideBar(const QSize& frame, const QRect& barFrame, const QList<QRect>& screens,
                      const QRect& console = QRect());

// Moves a window that is being shown to its place beside the bar it belongs
// to (the top window of its owners), clear of a shown window of the bar's
// that keeps clear of others; a window with no owner stays where the desktop
// puts it.
void placeBesideOwningBar(QWidget* window);

// Marks a window of the bar (the console) that the others are placed clear of.
void keepOthersClearOf(QWidget* window);

// A window class whose windows take their place beside the bar each time
// they are shown, once their size is settled.
template <typename Window>
class PlacedBesideBar : public Window {
public:
    using Window::Window;

protected:
    void showEvent(QShowEvent* event) override {
        Window::showEvent(event);
        placeBesideOwningBar(this);
    }
};

}  // namespace kestro

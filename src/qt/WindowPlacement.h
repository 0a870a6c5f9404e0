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

// The top left corner for a window whose frame is `frame` big: just below
// the bar with their left edges in line, above the bar when there is no room
// below, and moved as little as needed to lie within the available area of
// the bar's screen (the one of `screens` that holds most of the bar).
QPoint placeBesideBar(const QSize& frame, const QRect& barFrame, const QList<QRect>& screens);

// Moves a window that is being shown to its place beside the bar it belongs
// to (the top window of its owners); a window with no owner stays where the
// desktop puts it.
void placeBesideOwningBar(QWidget* window);

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

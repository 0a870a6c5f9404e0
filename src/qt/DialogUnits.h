// Places controls the way the dialog templates give them, in dialog units:
// a horizontal unit is a quarter of the font's average character width, a
// vertical unit an eighth of its height. Measured on the font the windows
// actually use, so the layout grows with a larger desktop font.
#pragma once

#include <QFont>
#include <QRect>

class QWidget;

namespace kestro {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    DialogUnits(double baseWidth, double baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

    int x(int units) const { return static_cast<int>(units * baseWidth_ / 4 + 0.5); }
    int y(int units) const { return static_cast<int>(units * baseHeight_ / 8 + 0.5); }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(left + width) - x(left), y(top + height) - y(top));
    }
    // Puts `widget` at the template's place.
    void place(QWidget* widget, int left, int top, int width, int height) const;

    // The same units, stretched where needed so that `units` span at least
    // `pixels` (a push button of the desktop's style, say).
    DialogUnits stretchedToFit(int units, int pixels) const;
    DialogUnits widenedToFit(int units, int pixels) const;

    double baseWidth() const { return baseWidth_; }
    double baseHeight() const { return baseHeight_; }

private:
    double baseWidth_;
    double baseHeight_;
};

}  // namespace kestro

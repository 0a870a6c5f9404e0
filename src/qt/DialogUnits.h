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
    DialogUnits(int baseWidth, int baseHeight) : baseWidth_(baseWidth), baseHeight_(baseHeight) {}

    int x(int units) const { return (units * baseWidth_ + 2) / 4; }
    int y(int units) const { return (units * baseHeight_ + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const {
        return QRect(x(left), y(top), x(width), y(height));
    }
    // Puts `widget` at the template's place.
    void place(QWidget* widget, int left, int top, int width, int height) const;

    // The same units, stretched vertically where needed so that `units`
    // span at least `pixels` (a push button of the desktop's style, say).
    DialogUnits stretchedToFit(int units, int pixels) const;
    DialogUnits widenedToFit(int units, int pixels) const;

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

private:
    int baseWidth_;
    int baseHeight_;
};

}  // namespace kestro

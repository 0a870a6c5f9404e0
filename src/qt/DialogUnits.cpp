#include "DialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

namespace kestro {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    // Rounded as the dialog manager rounds the average width.
    baseWidth_ = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    if (baseWidth_ < 1) baseWidth_ = 1;
    baseHeight_ = metrics.height();
    if (baseHeight_ < 1) baseHeight_ = 1;
}

DialogUnits DialogUnits::stretchedToFit(int units, int pixels) const {
    if (units <= 0 || y(units) >= pixels) return *this;
    return DialogUnits(baseWidth_, (pixels * 8 + units - 1) / units);
}

DialogUnits DialogUnits::widenedToFit(int units, int pixels) const {
    if (units <= 0 || x(units) >= pixels) return *this;
    return DialogUnits((pixels * 4 + units - 1) / units, baseHeight_);
}

void DialogUnits::place(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(rect(left, top, width, height));
}

}  // namespace kestro

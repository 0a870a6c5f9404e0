#include "DialogUnits.h"

#include <QFontMetricsF>
#include <QWidget>

namespace kestro {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetricsF metrics(font);
    static const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseWidth_ = qMax(1.0, metrics.horizontalAdvance(alphabet) / 52.0);
    baseHeight_ = qMax(1.0, metrics.height());
}

DialogUnits DialogUnits::stretchedToFit(int units, int pixels) const {
    if (units <= 0 || y(units) >= pixels) return *this;
    return DialogUnits(baseWidth_, pixels * 8.0 / units);
}

DialogUnits DialogUnits::widenedToFit(int units, int pixels) const {
    if (units <= 0 || x(units) >= pixels) return *this;
    return DialogUnits(pixels * 4.0 / units, baseHeight_);
}

void DialogUnits::place(QWidget* widget, int left, int top, int width, int height) const {
    widget->setGeometry(rect(left, top, width, height));
}

}  // namespace kestro

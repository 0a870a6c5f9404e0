#include "TemplateLayout.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <algorithm>

namespace kestro {

namespace {

bool wraps(const QWidget* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    return label != nullptr && label->wordWrap();
}

// The height a single-line control needs; 0 for those that may be squeezed
// (a word-wrapped text is fitted by its width instead).
int heightNeeded(const QWidget* control) {
    if (wraps(control)) return 0;
    if (qobject_cast<const QComboBox*>(control) != nullptr || qobject_cast<const QLineEdit*>(control) != nullptr) {
        return control->sizeHint().height();
    }
    if (qobject_cast<const QAbstractButton*>(control) != nullptr) return control->minimumSizeHint().height();
    if (qobject_cast<const QLabel*>(control) != nullptr) return control->fontMetrics().height();
    return 0;
}

}  // namespace

TemplateLayout::TemplateLayout(QWidget* window, const DialogTemplate& form, const QList<QWidget*>& controls)
    : window_(window), form_(form) {
    Q_ASSERT(static_cast<std::size_t>(controls.size()) == form.controls.size());
    for (qsizetype i = 0; i < controls.size(); ++i) {
        const TemplateControl& place = form.controls[static_cast<std::size_t>(i)];
        items_.push_back({controls[i], QRect(place.left, place.top, place.width, place.height)});
    }
}

void TemplateLayout::setHeight(QWidget* control, int height) {
    for (Item& item : items_) {
        if (item.control == control) item.units.setHeight(height);
    }
}

int TemplateLayout::widthNeeded(const Item& item, const DialogUnits& units) const {
    QWidget* control = item.control;
    if (!wraps(control)) {
        // Text fields and lists take what they are given.
        if (qobject_cast<QLineEdit*>(control) != nullptr || qobject_cast<QComboBox*>(control) != nullptr) return 0;
        if (auto* button = qobject_cast<QAbstractButton*>(control); button != nullptr && button->text().isEmpty()) {
            return 0;  // an icon button
        }
        return control->sizeHint().width();
    }
    // The narrowest width at which the wrapped text fits its height.
    const int height = units.y(item.units.height());
    int low = units.x(item.units.width());
    if (control->heightForWidth(low) <= height) return low;
    int high = low;
    while (control->heightForWidth(high) > height && high < 4000) high *= 2;
    while (high - low > 1) {
        const int middle = (low + high) / 2;
        if (control->heightForWidth(middle) <= height) high = middle;
        else low = middle;
    }
    return high;
}

DialogUnits TemplateLayout::apply() {
    DialogUnits units(window_->font());
    for (const Item& item : items_) units = units.stretchedToFit(item.units.height(), heightNeeded(item.control));
    // One factor for the whole template keeps the controls' relative
    // places; rounding may leave a pixel short, so widen until all fit.
    for (int round = 0; round < 50; ++round) {
        double widen = 1.0;
        for (const Item& item : items_) {
            const int needed = widthNeeded(item, units);
            const int given = units.rect(item.units.x(), 0, item.units.width(), 1).width();
            if (given > 0 && needed > given) widen = std::max(widen, static_cast<double>(needed) / given);
        }
        if (widen <= 1.0) break;
        units = DialogUnits(units.baseWidth() * std::max(widen, 1.01), units.baseHeight());
    }
    for (const Item& item : items_) {
        units.place(item.control, item.units.x(), item.units.y(), item.units.width(), item.units.height());
    }
    window_->setFixedSize(units.x(form_.width), units.y(form_.height));
    return units;
}

}  // namespace kestro

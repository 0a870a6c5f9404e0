// Lays out a window from its dialog template: every control keeps its
// place and size in dialog units, and the units are measured on the font
// the window uses, then stretched just enough that every caption fits
// (the desktop's font is seldom as narrow as the one the templates were
// drawn for). The relative places of the controls stay as drawn.
#pragma once

#include <QList>
#include <QRect>
#include <QVector>

#include "DialogUnits.h"
#include "app/ControlTable.h"

class QWidget;

namespace kestro {

class TemplateLayout {
public:
    // The window's controls in the template's order, each at its place.
    TemplateLayout(QWidget* window, const DialogTemplate& form, const QList<QWidget*>& controls);

    // A control given another height than its template's, in dialog units.
    void setHeight(QWidget* control, int height);

    // Fits the units, places every control and fixes the window's size to
    // the template's size in the fitted units. Returns the units used.
    DialogUnits apply();

private:
    struct Item {
        QWidget* control;
        QRect units;
    };
    int widthNeeded(const Item& item, const DialogUnits& units) const;

    QWidget* window_;
    const DialogTemplate& form_;
    QVector<Item> items_;
};

}  // namespace kestro

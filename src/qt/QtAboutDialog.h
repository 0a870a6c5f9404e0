// The version box: the application icon, the version line, two lines of our
// own and OK.
#pragma once

#include <QDialog>

#include "WindowPlacement.h"

namespace kestro {

class QtAboutDialog : public PlacedBesideBar<QDialog> {
    Q_OBJECT

public:
    explicit QtAboutDialog(QWidget* parent = nullptr);
};

}  // namespace kestro

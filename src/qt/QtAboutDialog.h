// The version box: the application icon, the version line, two lines of our
// own and OK.
#pragma once

#include <QDialog>

namespace kestro {

class QtAboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit QtAboutDialog(QWidget* parent = nullptr);
};

}  // namespace kestro

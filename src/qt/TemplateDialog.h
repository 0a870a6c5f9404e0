// What the dialogs drawn from a template share: their frame, their static
// texts and the OK and Cancel pair.
#pragma once

#include <Qt>

class QDialog;
class QLabel;
class QPushButton;
class QString;
class QWidget;

namespace kestro {

// A caption with a close box; no help button and no resizing frame.
Qt::WindowFlags templateDialogFrame();

// A static text, shown as written (no rich text, no mnemonics), at the top
// left of its place; `wrap` breaks it over the lines of its place.
QLabel* staticText(const QString& text, QWidget* parent, bool wrap = false);

struct OkCancelButtons {
    QPushButton* ok;
    QPushButton* cancel;
};

// The OK ("button1", the default, accepts) and Cancel ("button2", rejects)
// buttons, made one after the other so that they follow each other in the
// tab order. Enter presses the focused one of them, elsewhere OK.
OkCancelButtons addOkCancelButtons(QDialog* dialog);

}  // namespace kestro

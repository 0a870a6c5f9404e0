// The index options dialog: the options text of the index tool and the
// check box that keeps the index step from asking.
#pragma once

#include <QDialog>

#include "WindowPlacement.h"

class QCheckBox;
class QLineEdit;

namespace kestro {

class IndexOptionsDialog;

class QtIndexOptionsDialog : public PlacedBesideBar<QDialog> {
    Q_OBJECT

public:
    QtIndexOptionsDialog(IndexOptionsDialog& model, QWidget* parent = nullptr);

    QLineEdit* optionsEdit() const { return options_; }
    QCheckBox* neverShowBox() const { return neverShow_; }

    void accept() override;

private:
    IndexOptionsDialog& model_;
    QLineEdit* options_;
    QCheckBox* neverShow_;
};

}  // namespace kestro

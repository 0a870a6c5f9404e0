// The settings panel: a column of buttons, each running one configuration
// operation of the panel's model.
#pragma once

#include <QDialog>

#include "WindowPlacement.h"

namespace kestro {

class SettingsDialog;

class QtSettingsDialog : public PlacedBesideBar<QDialog> {
    Q_OBJECT

public:
    QtSettingsDialog(SettingsDialog& model, QWidget* parent = nullptr);

    // The button of a control ID ("閉じる" is 1).
    class QPushButton* button(int controlId) const;

signals:
    // A button other than Close was pressed and its operation has run.
    void operationFinished(int controlId);

private:
    SettingsDialog& model_;
};

}  // namespace kestro

// The paper size dialog: fourteen paper sizes in one radio group and the
// two check boxes that keep the dialog from asking again.
#pragma once

#include <QDialog>

#include "WindowPlacement.h"

class QButtonGroup;
class QCheckBox;
class QRadioButton;

namespace kestro {

class PaperSizeDialog;

class QtPaperSizeDialog : public PlacedBesideBar<QDialog> {
    Q_OBJECT

public:
    QtPaperSizeDialog(PaperSizeDialog& model, QWidget* parent = nullptr);

    QRadioButton* radioAt(int position) const;
    QCheckBox* skipUntilRestartBox() const { return untilRestart_; }
    QCheckBox* skipFromNowOnBox() const { return fromNowOn_; }

    void accept() override;

private:
    void showModel();

    PaperSizeDialog& model_;
    QButtonGroup* sizes_;
    QCheckBox* untilRestart_;
    QCheckBox* fromNowOn_;
};

}  // namespace kestro

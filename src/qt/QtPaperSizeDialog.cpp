#include "QtPaperSizeDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include "QtText.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/PaperSizeDialog.h"

namespace kestro {

QtPaperSizeDialog::QtPaperSizeDialog(PaperSizeDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("paperSizeDialog");
    const DialogTemplate& form = dialogTemplate(kPaperSizeTemplate);
    setWindowTitle(shownCaption(form));
    const auto text = [&form](std::size_t index) { return shownText(form.controls[index]); };

    // Template order, which is the tab order.
    QLabel* intro = staticText(text(0), this, true);
    const auto [ok, cancel] = addOkCancelButtons(this);
    untilRestart_ = new QCheckBox(text(3), this);
    untilRestart_->setObjectName("check1012");
    fromNowOn_ = new QCheckBox(text(4), this);
    fromNowOn_->setObjectName("check1013");
    QList<QWidget*> controls{intro, ok, cancel, untilRestart_, fromNowOn_, staticText(text(5), this),
                             staticText(text(6), this)};
    sizes_ = new QButtonGroup(this);
    sizes_->setExclusive(true);
    for (int position = 0; position < static_cast<int>(PaperSizeDialog::kChoices.size()); ++position) {
        const PaperChoice& choice = PaperSizeDialog::kChoices[static_cast<std::size_t>(position)];
        auto* radio = new QRadioButton(QString::fromUtf8(choice.caption), this);
        radio->setObjectName(QStringLiteral("radio%1").arg(choice.controlId));
        sizes_->addButton(radio, position);
        controls << radio;
    }
    TemplateLayout(this, form, controls).apply();

    // A click toggles the box's own mark first; the model then decides
    // whether the other box is cleared.
    connect(untilRestart_, &QCheckBox::clicked, this, [this] {
        model_.clickSkipUntilRestart();
        showModel();
    });
    connect(fromNowOn_, &QCheckBox::clicked, this, [this] {
        model_.clickSkipFromNowOn();
        showModel();
    });

    if (QAbstractButton* checked = sizes_->button(model_.checkedPosition())) checked->setChecked(true);
    showModel();
    ok->setFocus();
}

void QtPaperSizeDialog::showModel() {
    untilRestart_->setChecked(model_.skipUntilRestartChecked());
    fromNowOn_->setChecked(model_.skipFromNowOnChecked());
}

QRadioButton* QtPaperSizeDialog::radioAt(int position) const {
    return qobject_cast<QRadioButton*>(sizes_->button(position));
}

void QtPaperSizeDialog::accept() {
    model_.accept(sizes_->checkedId());
    QDialog::accept();
}

}  // namespace kestro

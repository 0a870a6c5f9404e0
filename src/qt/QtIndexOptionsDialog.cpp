#include "QtIndexOptionsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "QtText.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro {

QtIndexOptionsDialog::QtIndexOptionsDialog(IndexOptionsDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("indexOptionsDialog");
    const DialogTemplate& form = dialogTemplate(kIndexOptionsTemplate);
    setWindowTitle(shownCaption(form));
    const auto text = [&form](std::size_t index) { return shownText(form.controls[index]); };

    // Template order, which is the tab order.
    const auto [ok, cancel] = addOkCancelButtons(this);
    options_ = new QLineEdit(this);
    options_->setObjectName("edit1121");
    QLabel* explanation = staticText(text(3), this, true);
    QLabel* example = staticText(text(4), this);
    neverShow_ = new QCheckBox(text(5), this);
    neverShow_->setObjectName("check1012");
    TemplateLayout(this, form,
                   {ok, cancel, options_, explanation, example, neverShow_, staticText(text(6), this),
                    staticText(text(7), this)})
        .apply();

    options_->setText(fromBytes(model_.optionsText));
    // Any value but 0 keeps the dialog from asking, so any shows checked.
    neverShow_->setChecked(model_.neverShow != 0);
    ok->setFocus();
}

void QtIndexOptionsDialog::accept() {
    const QByteArray text = options_->text().toUtf8();
    model_.accept(std::string(text.constData(), static_cast<std::size_t>(text.size())), neverShow_->isChecked());
    QDialog::accept();
}

}  // namespace kestro

#include "QtSettingsDialog.h"

#include <QPushButton>

#include "QtText.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/SettingsDialog.h"

namespace kestro {

QtSettingsDialog::QtSettingsDialog(SettingsDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("settingsDialog");
    const DialogTemplate& form = dialogTemplate(kSettingsTemplate);
    setWindowTitle(shownCaption(form));
    // Template order, which is the tab order: Close comes first although it
    // sits at the bottom.
    QList<QWidget*> buttons;
    for (const TemplateControl& control : form.controls) {
        auto* button = new QPushButton(shownText(control), this);
        button->setObjectName(QStringLiteral("button%1").arg(control.id));
        // Enter presses the focused button; Close where none has the focus.
        button->setAutoDefault(true);
        buttons << button;
        const int id = control.id;
        if (id == SettingsDialog::kClose) {
            button->setDefault(true);
            connect(button, &QPushButton::clicked, this, &QDialog::accept);
        } else {
            connect(button, &QPushButton::clicked, this, [this, id] {
                model_.press(id);
                emit operationFinished(id);
            });
        }
    }
    TemplateLayout(this, form, buttons).apply();
    buttons.front()->setFocus();
}

QPushButton* QtSettingsDialog::button(int controlId) const {
    return findChild<QPushButton*>(QStringLiteral("button%1").arg(controlId));
}

}  // namespace kestro

#include "QtSettingsDialog.h"

#include <QPushButton>

#include "TemplateDialog.h"
#include "TemplateLayout.h"
#include "dialogs/SettingsDialog.h"

namespace kestro {

namespace {

struct Place {
    int controlId;
    int top;
};

// Template order, which is the tab order: Close comes first although it
// sits at the bottom.
constexpr Place kPlaces[] = {
    {SettingsDialog::kClose, 128},     {SettingsDialog::kEditor, 7},
    {SettingsDialog::kTex, 21},        {SettingsDialog::kBibtex, 37},
    {SettingsDialog::kDvipdf, 52},     {SettingsDialog::kIndexTool, 68},
    {SettingsDialog::kIndexOptions, 83}, {SettingsDialog::kPaperSize, 99},
};

constexpr int kLeft = 7;
constexpr int kButtonWidth = 77;
constexpr int kButtonHeight = 14;

QString captionOf(int controlId) {
    for (const PanelButton& button : SettingsDialog::kButtons) {
        if (button.controlId == controlId) return QString::fromUtf8(button.caption);
    }
    return QString();
}

}  // namespace

QtSettingsDialog::QtSettingsDialog(SettingsDialog& model, QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()), model_(model) {
    setObjectName("settingsDialog");
    setWindowTitle(QStringLiteral("設定"));
    TemplateLayout layout(this);
    QList<QPushButton*> buttons;
    for (const Place& place : kPlaces) {
        auto* button = new QPushButton(captionOf(place.controlId), this);
        button->setObjectName(QStringLiteral("button%1").arg(place.controlId));
        // Enter presses the focused button; Close where none has the focus.
        button->setAutoDefault(true);
        layout.add(button, kLeft, place.top, kButtonWidth, kButtonHeight);
        buttons << button;
        const int id = place.controlId;
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
    layout.apply(91, 150);
    buttons.front()->setFocus();
}

QPushButton* QtSettingsDialog::button(int controlId) const {
    return findChild<QPushButton*>(QStringLiteral("button%1").arg(controlId));
}

}  // namespace kestro

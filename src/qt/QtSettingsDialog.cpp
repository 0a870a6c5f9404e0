#include "QtSettingsDialog.h"

#include <QPushButton>

#include "DialogUnits.h"
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
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      model_(model) {
    setObjectName("settingsDialog");
    setWindowTitle(QStringLiteral("設定"));
    DialogUnits du(font());

    // The column is as wide as the template says, or as the widest caption
    // needs in the desktop's font.
    QList<QPushButton*> buttons;
    int width = du.x(kButtonWidth);
    for (const Place& place : kPlaces) {
        auto* button = new QPushButton(captionOf(place.controlId), this);
        button->setObjectName(QStringLiteral("button%1").arg(place.controlId));
        button->setAutoDefault(false);
        width = qMax(width, button->sizeHint().width());
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
    du = du.stretchedToFit(kButtonHeight, buttons.front()->minimumSizeHint().height());
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        buttons[i]->setGeometry(du.x(kLeft), du.y(kPlaces[i].top), width, du.y(kButtonHeight));
    }
    setFixedSize(width + 2 * du.x(kLeft), du.y(150));
    buttons.front()->setFocus();
}

QPushButton* QtSettingsDialog::button(int controlId) const {
    return findChild<QPushButton*>(QStringLiteral("button%1").arg(controlId));
}

}  // namespace kestro

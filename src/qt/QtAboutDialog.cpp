#include "QtAboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "BarIcons.h"
#include "QtText.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"

namespace kestro {

QtAboutDialog::QtAboutDialog(QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()) {
    setObjectName("aboutDialog");
    const DialogTemplate& form = dialogTemplate(kAboutTemplate);
    setWindowTitle(shownCaption(form));

    auto* icon = new QLabel(this);
    icon->setObjectName("aboutIcon");
    icon->setAlignment(Qt::AlignCenter);

    // Shown as written: no ampersand turns into a mnemonic here.
    auto* version = new QLabel(shownText(form.controls[1]), this);
    version->setObjectName("aboutVersion");
    version->setTextFormat(Qt::PlainText);

    auto* ok = new QPushButton(shownText(form.controls[2]), this);
    ok->setObjectName("aboutOk");
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* first = new QLabel(shownText(form.controls[3]), this);
    first->setObjectName("aboutLine1");
    auto* second = new QLabel(shownText(form.controls[4]), this);
    second->setObjectName("aboutLine2");

    TemplateLayout(this, form, {icon, version, ok, first, second}).apply();
    // Icon 128 is drawn 32 pixels square; the control is 20 units square.
    const int side = qMin(icon->width(), icon->height());
    icon->setPixmap(barIcon(128).pixmap(side, side));
    ok->setFocus();
}

}  // namespace kestro

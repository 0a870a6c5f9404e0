#include "QtAboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "BarIcons.h"
#include "TemplateDialog.h"
#include "TemplateLayout.h"

namespace kestro {

QtAboutDialog::QtAboutDialog(QWidget* parent)
    : PlacedBesideBar<QDialog>(parent, templateDialogFrame()) {
    setObjectName("aboutDialog");
    setWindowTitle(QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"));
    TemplateLayout layout(this);

    auto* icon = new QLabel(this);
    icon->setObjectName("aboutIcon");
    icon->setAlignment(Qt::AlignCenter);
    layout.add(icon, 11, 17, 20, 20);

    // Shown as written: no ampersand turns into a mnemonic here.
    auto* version = new QLabel(QStringLiteral("Pelvane Version 3.0"), this);
    version->setObjectName("aboutVersion");
    version->setTextFormat(Qt::PlainText);
    layout.add(version, 40, 10, 64, 8);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("aboutOk");
    ok->setDefault(true);
    layout.add(ok, 110, 7, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* first = new QLabel(QStringLiteral("TeX ツールバー"), this);
    first->setObjectName("aboutLine1");
    layout.add(first, 42, 22, 78, 8);
    auto* second = new QLabel(QStringLiteral("Linux 版"), this);
    second->setObjectName("aboutLine2");
    layout.add(second, 73, 36, 45, 8);

    layout.apply(167, 56);
    // Icon 128 is drawn 32 pixels square; the control is 20 units square.
    const int side = qMin(icon->width(), icon->height());
    icon->setPixmap(barIcon(128).pixmap(side, side));
    ok->setFocus();
}

}  // namespace kestro

#include "QtAboutDialog.h"

#include <QLabel>
#include <QPushButton>

#include "BarIcons.h"
#include "DialogUnits.h"

namespace kestro {

QtAboutDialog::QtAboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setObjectName("aboutDialog");
    setWindowTitle(QStringLiteral("Kestroのﾊﾞｰｼﾞｮﾝ情報"));
    const DialogUnits du(font());

    auto* icon = new QLabel(this);
    icon->setObjectName("aboutIcon");
    const int iconSize = qMin(du.x(20), du.y(20));
    icon->setPixmap(barIcon(128).pixmap(iconSize, iconSize));
    du.place(icon, 11, 17, 20, 20);

    // Shown as written: no ampersand turns into a mnemonic here.
    auto* version = new QLabel(QStringLiteral("Pelvane Version 3.0"), this);
    version->setObjectName("aboutVersion");
    version->setTextFormat(Qt::PlainText);
    du.place(version, 40, 10, 64, 8);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName("aboutOk");
    ok->setDefault(true);
    du.place(ok, 110, 7, 50, 14);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto* first = new QLabel(QStringLiteral("TeX ツールバー"), this);
    first->setObjectName("aboutLine1");
    du.place(first, 42, 22, 78, 8);
    auto* second = new QLabel(QStringLiteral("Linux 版"), this);
    second->setObjectName("aboutLine2");
    du.place(second, 73, 36, 45, 8);

    setFixedSize(du.x(167), du.y(56));
    ok->setFocus();
}

}  // namespace kestro

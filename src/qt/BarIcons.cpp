#include "BarIcons.h"

#include <QString>

namespace kestro {

QIcon barIcon(int resourceId) {
    const char* name = nullptr;
    switch (resourceId) {
    case 128: name = "icon-128-app.svg"; break;
    case 131: name = "icon-131-tex.svg"; break;
    case 133: name = "icon-133-edit.svg"; break;
    case 135: name = "icon-135-pdf.svg"; break;
    case 136: name = "icon-136-prompt.svg"; break;
    case 138: name = "icon-138-oneclick.svg"; break;
    case 139: name = "icon-139-settings.svg"; break;
    default: return QIcon();
    }
    return QIcon(QStringLiteral(":/icons/") + QLatin1String(name));
}

QIcon messageBoxIcon(bool stop) {
    return stop ? QIcon::fromTheme(QStringLiteral("dialog-error"), QIcon(QStringLiteral(":/icons/box-stop.svg")))
                : QIcon::fromTheme(QStringLiteral("dialog-warning"), QIcon(QStringLiteral(":/icons/box-warning.svg")));
}

}  // namespace kestro

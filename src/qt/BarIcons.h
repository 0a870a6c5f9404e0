// The bar's icons by their resource numbers: 128 the application, 131 TeX,
// 133 Edit, 135 PDF, 136 the command prompt, 138 one-click, 139 settings.
#pragma once

#include <QIcon>

namespace kestro {

QIcon barIcon(int resourceId);

// The picture of a message box with the exclamation (`stop` false) or the
// stop icon: the desktop's own, else ours. Both draw sharply at any scale,
// which Qt's built-in ones do not.
QIcon messageBoxIcon(bool stop);

}  // namespace kestro

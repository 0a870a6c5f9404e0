#include "state/Services.h"

namespace kestro {

Answer showAppMessage(Services& services, const std::string& text, BoxButtons buttons,
                      BoxIcon icon) {
    MessageBoxRequest box;
    box.owner = BoxOwner::Application;
    box.text = text;
    box.caption = services.appName;
    box.buttons = buttons;
    box.icon = icon == BoxIcon::None ? BoxIcon::Exclamation : icon;
    return services.ui.showMessage(box);
}

Answer showBarMessage(Services& services, const std::string& text, BoxIcon icon,
                      BoxButtons buttons, const std::string& caption) {
    MessageBoxRequest box;
    box.owner = BoxOwner::Bar;
    box.text = text;
    box.caption = caption.empty() ? services.appName : caption;
    box.buttons = buttons;
    box.icon = icon;
    return services.ui.showMessage(box);
}

}  // namespace kestro

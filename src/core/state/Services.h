// The platform services, the settings file and the user's side, as one
// bundle that every operation of the bar receives.
#pragma once

#include <string>

#include "state/RoadRecord.h"
#include "seam/BarView.h"
#include "seam/Desktop.h"
#include "seam/FileSystem.h"
#include "seam/Processes.h"
#include "seam/UserInterface.h"
#include "settings/SettingsFile.h"
#include "text/PlatformRules.h"

namespace kestro {

struct Services {
    PlatformRules rules;
    SettingsFile& settings;
    FileSystem& files;
    Processes& processes;
    Desktop& desktop;
    UserInterface& ui;
    // The executable's file name without directory and extension: the
    // caption of every message box that has no caption of its own.
    std::string appName;
    // The bar's window; none in a front end without one.
    BarView* view = nullptr;
    // What the current press of a build button has run so far.
    RoadRecord road{};
};

// The application message box: captioned with the application name; an OK
// or OK/Cancel box given no icon carries the exclamation icon.
Answer showAppMessage(Services& services, const std::string& text,
                      BoxButtons buttons = BoxButtons::Ok, BoxIcon icon = BoxIcon::None);

// The bar's message box: owned by the bar, OK and no icon unless given.
Answer showBarMessage(Services& services, const std::string& text,
                      BoxIcon icon = BoxIcon::None, BoxButtons buttons = BoxButtons::Ok,
                      const std::string& caption = std::string());

}  // namespace kestro

// One run of the bar: the Linux platform, the settings file, the Qt user
// interface and the core's bar, wired together.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "ConsoleProcesses.h"
#include "PosixDesktop.h"
#include "PosixFileSystem.h"
#include "PosixTextFileStore.h"
#include "QtBarWindow.h"
#include "QtUserInterface.h"
#include "TerminationSignals.h"
#include "app/BarWindow.h"
#include "state/Services.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro {

class BarSession {
public:
    // `settingsPath`: Kestro.ini for the start-up directory (empty: none).
    // `document`: the start-up document (empty: the first history entry).
    BarSession(const std::string& settingsPath, const std::string& appName, const std::string& document);

    // Loads everything and shows the bar.
    void start();

    // The desktop session is about to end (which the user may still
    // cancel): the history is written, and the bar goes on.
    void commitData();

    // From now on SIGTERM, SIGHUP and SIGINT end the bar as a close request
    // does, whatever it is doing: a running tool is stopped first.
    void endOnTerminationSignals();

    QtBarWindow& window() { return *window_; }
    BarWindow& core() { return core_; }
    ConsoleProcesses& processes() { return processes_; }
    QtUserInterface& ui() { return ui_; }
    SettingsFile& settings() { return settings_; }

private:
    void endFromOutside();
    void endOnceToolStopped();

    PosixFileSystem files_;
    PosixTextFileStore store_;
    IniProfile profile_;
    SettingsFile settings_;
    std::unique_ptr<QtBarWindow> window_;
    ConsoleProcesses processes_;
    PosixDesktop desktop_;
    QtUserInterface ui_;
    Services services_;
    BarWindow core_;
    TerminationSignals* termination_ = nullptr;
    bool ending_ = false;
};

}  // namespace kestro

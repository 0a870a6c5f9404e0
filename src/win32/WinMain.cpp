// The Windows bar: start-up, the bar's modal run, and the end of the
// process when it closes.
#include <optional>
#include <string>

#include "BarDialog.h"
#include "CommandTail.h"
#include "Win32Api.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32Desktop.h"
#include "Win32UserInterface.h"
#include "app/Startup.h"
#include "app/BarWindow.h"
#include "settings/SettingsFile.h"

namespace {

std::string executablePath() {
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::string(buffer) : std::string();
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    using namespace kestro;

    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof controls;
    controls.dwICC = ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES;
    InitCommonControlsEx(&controls);

    const PlatformRules rules = PlatformRules::windows();
    Win32Profile profile;
    Win32FileSystem files;
    // Read whole: the core tells a start folder too long for the settings
    // file from one that could not be read.
    const std::optional<std::string> start = files.currentDirectory();
    SettingsFile settings(profile, settingsPathForStart(rules, start), startFolderTooLong(rules, start));
    Win32Processes processes;
    Win32Desktop desktop;
    Win32UserInterface ui(instance);
    Services services{rules, settings, files, processes, desktop, ui,
                      applicationNameFromExecutable(rules, executablePath()), &ui};

    BarWindow bar(services, commandLineTail(GetCommandLineA()));
    BarDialog window(instance, bar, ui, desktop);
    window.run();
    return 0;
}

// What the fault tests add to the shared POSIX support: the real Linux
// settings stack and platform with a scripted user, and checks of the
// settings file's directory.
#pragma once

#include <gtest/gtest.h>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixSupport.h"
#include "PosixTextFileStore.h"
#include "FakePlatform.h"
#include "app/BarWindow.h"
#include "settings/IniProfile.h"
#include "settings/IniText.h"

namespace kestro::faults {

using namespace posixtest;

struct RealBar {
    explicit RealBar(const std::string& settingsPath)
        : settings(profile, settingsPath), services{PlatformRules::posix(), settings, files, processes, ui, "Kestro"} {}

    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
    PosixFileSystem files;
    PosixProcesses processes{StdinMode::Empty};
    fake::ScriptedUi ui;
    Services services;
};

// True when `text` is a whole INI file as the bar writes it: every line a
// section or a key line, ended by CR LF.
inline bool isWholeIniFile(const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.back() != '\r' || in.eof()) return false;
        line.pop_back();
        const std::size_t equals = line.find('=');
        const bool section = !line.empty() && line.front() == '[' && line.back() == ']';
        if (!section && (equals == std::string::npos || equals == 0)) return false;
    }
    return true;
}

// The names beside Kestro.ini that start with its name: what a write left.
inline std::vector<std::string> strayFiles(const fs::path& directory) {
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name != "Kestro.ini" && name.rfind("Kestro.ini", 0) == 0) stray.push_back(name);
    }
    return stray;
}

}  // namespace kestro::faults

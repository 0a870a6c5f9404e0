// The fixture of the tests that open the bar's own windows for real: the
// Windows settings stack and platform over a scratch directory of their own,
// and a driver that plays the user.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32TestSupport.h"
#include "Win32UserInterface.h"
#include "app/Services.h"
#include "settings/SettingsFile.h"

namespace kestro::wintest {

class WindowsPlatformTest : public ::testing::Test {
protected:
    explicit WindowsPlatformTest(const std::string& scratchName) : scratch_(scratchName) {}

    ScratchDirectory scratch_;
    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    Win32Processes processes_;
    Win32UserInterface ui_{GetModuleHandleA(nullptr)};
    Services services_{PlatformRules::windows(), settings_, files_, processes_, ui_, "Kestro"};
    UiDriver driver_;
};

}  // namespace kestro::wintest

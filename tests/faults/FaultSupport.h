// What the fault tests add to the shared POSIX test support: children that
// report their failed checks, the real settings stack with a scripted user,
// fake TeX tools and a whole-file check of Kestro.ini.
#pragma once

#include <gtest/gtest.h>

#include <errno.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTestScripts.h"
#include "PosixTextFileStore.h"
#include "ScriptedUi.h"
#include "app/Services.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro::faults {

namespace fs = std::filesystem;

using posixtest::CurrentDirectoryGuard;
using posixtest::dropRootPrivileges;
using posixtest::readFile;
using posixtest::ScratchDirectory;
using posixtest::waitUntil;
using posixtest::writeFile;

// The names in a directory, sorted.
inline std::vector<std::string> directoryNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// What a child process reported: the text it wrote (empty when all its
// checks held) and how it ended.
struct ChildResult {
    std::string report;
    int exitCode = -1;  // -1 when a signal ended it
    int signal = 0;
};

// Runs `body` in a forked child. Its returned text (the checks that failed
// there, empty when none did) comes back through a pipe.
inline ChildResult runInChild(const std::function<std::string()>& body) {
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) throw std::runtime_error("pipe failed");
    ChildResult result;
    const auto child = [&] {
        ::close(pipeFds[0]);
        std::string report = body();
        if (::testing::Test::HasFailure()) report += "a check of the test support failed in the child\n";
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(pipeFds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        return 0;
    };
    // The report is read before the wait: a child with more to say than the
    // pipe holds would otherwise never end.
    const auto readReport = [&] {
        ::close(pipeFds[1]);
        char buffer[4096];
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
            if (n < 0) {
                if (errno == EINTR) continue;
                break;
            }
            result.report.append(buffer, static_cast<std::size_t>(n));
        }
        ::close(pipeFds[0]);
    };
    const posixtest::ChildEnd end = posixtest::forkChild(child, readReport);
    result.exitCode = end.exitCode;
    result.signal = end.signal;
    return result;
}

// Collects the checks that failed in a child, one line each.
class ChildChecks {
public:
    void check(bool ok, const std::string& what) {
        if (!ok) report_ += what + "\n";
    }
    template <typename A, typename B>
    void equal(const A& actual, const B& expected, const std::string& what) {
        if (!(actual == expected)) report_ += what + "\n";
    }
    const std::string& report() const { return report_; }

private:
    std::string report_;
};

// The real Linux settings stack and platform, with a scripted user.
struct RealBar {
    explicit RealBar(const std::string& settingsPath)
        : settings(profile, settingsPath),
          services{PlatformRules::posix(), settings, files, processes, ui, "Kestro"} {}

    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
    PosixFileSystem files;
    PosixProcesses processes{StdinMode::Empty};
    testing::ScriptedUi ui;
    Services services;
};

// True when `text` is a whole INI file as the bar writes it: every line a
// section or a key line, every line ended by CR LF.
inline bool isWholeIniFile(const std::string& text) {
    if (text.empty()) return true;
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n") != 0) return false;
    std::size_t pos = 0;
    while (pos < text.size()) {
        const std::size_t end = text.find("\r\n", pos);
        if (end == std::string::npos) return false;
        const std::string_view line(text.data() + pos, end - pos);
        if (line.find('\n') != std::string_view::npos) return false;
        const bool section = line.size() >= 2 && line.front() == '[' && line.back() == ']';
        const std::size_t equals = line.find('=');
        if (!section && (equals == std::string_view::npos || equals == 0)) return false;
        pos = end + 2;
    }
    return true;
}

// Temporary files a write left beside the settings file (everything but the
// file itself and its lock file).
inline std::vector<std::string> strayFiles(const fs::path& directory, const std::string& fileName) {
    std::vector<std::string> stray;
    for (const std::string& name : directoryNames(directory)) {
        if (name != fileName && name != fileName + ".lock" && name.rfind(fileName, 0) == 0) stray.push_back(name);
    }
    return stray;
}

// A shell script standing in for a tool; executable.
inline std::string writeTool(const std::string& path, const std::string& body) {
    return posixtest::writeScript(path, "PATH=/usr/bin:/bin; export PATH\n" + body);
}

// A line every fake tool appends to the record file: its name, its
// arguments in brackets and the directory it ran in.
inline std::string recordLine(const std::string& recordFile) {
    return "{ printf '%s' \"$(basename \"$0\")\"; for a in \"$@\"; do printf ' [%s]' \"$a\"; done;"
           " printf ' @%s\\n' \"$(pwd -P)\"; } >> '" + recordFile + "'\n";
}

inline std::vector<std::string> recordedLines(const std::string& recordFile) {
    std::vector<std::string> lines;
    std::istringstream in(readFile(recordFile).value_or(""));
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace kestro::faults

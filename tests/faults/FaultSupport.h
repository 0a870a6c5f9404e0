// What the fault tests add to the shared POSIX test support: children that
// report their failed checks, the real settings stack with a scripted user,
// and shell scripts standing in for the TeX tools.
#pragma once

#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <sstream>
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
using posixtest::inChild;
using posixtest::readFile;
using posixtest::ScratchDirectory;
using posixtest::waitUntil;
using posixtest::writeFile;

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
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line.back() != '\r') return false;
        line.pop_back();
        const bool section = line.size() >= 2 && line.front() == '[' && line.back() == ']';
        const std::size_t equals = line.find('=');
        if (!section && (equals == std::string::npos || equals == 0)) return false;
    }
    return true;
}

// The names in `directory` besides `fileName` that start with `fileName`:
// temporaries (or a lock file) a write left behind.
inline std::vector<std::string> strayFiles(const fs::path& directory, const std::string& fileName) {
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name != fileName && name.rfind(fileName, 0) == 0) stray.push_back(name);
    }
    return stray;
}

inline std::string writeTool(const std::string& path, const std::string& body) {
    return posixtest::writeScript(path, "PATH=/usr/bin:/bin; export PATH\n" + body);
}

// Shell scripts standing in for the TeX tools in scratch/bin. Each appends
// "name [arg]... @directory" to a record file; the compiler writes the DVI,
// an aux file and a clean log, counts its runs in $n and then runs a
// snippet a test gives it.
class FakeTexTools {
public:
    explicit FakeTexTools(const ScratchDirectory& scratch)
        : bin_(scratch / "bin"), record_(scratch / "record.txt"), count_(scratch / "count.txt") {
        fs::create_directories(bin_);
        compiler("");
        writeTool(bibtex(), recordLine() + "printf 'bbl' > \"$1.bbl\"");
        const std::string last = "for last in \"$@\"; do :; done\n";
        writeTool(indexTool(), recordLine() + last + "printf 'ind' > \"$last.ind\"");
        writeTool(converter(), recordLine() + last + "printf 'pdf' > \"$last.pdf\"");
    }

    void compiler(const std::string& runs) {
        writeTool(compilerPath(), recordLine() + "n=$(cat '" + count_ + "' 2>/dev/null || echo 0); n=$((n+1)); echo $n > '" +
                                      count_ + "'\nprintf 'dvi' > \"$1.dvi\"\nprintf '\\\\relax\\n' > \"$1.aux\"\n"
                                      "printf 'This is a fake pLaTeX.\\n' > \"$1.log\"\n" + runs + "\nexit 0");
    }
    std::string recordLine() const {
        return "{ printf '%s' \"$(basename \"$0\")\"; for a in \"$@\"; do printf ' [%s]' \"$a\"; done;"
               " printf ' @%s\\n' \"$(pwd -P)\"; } >> '" + record_ + "'\n";
    }

    std::string compilerPath() const { return bin_ + "/platex"; }
    std::string bibtex() const { return bin_ + "/pbibtex"; }
    std::string indexTool() const { return bin_ + "/mendex"; }
    std::string converter() const { return bin_ + "/dvipdfmx"; }

    // The settings that make a bar use these tools and skip the dialogs.
    std::string settingsText() const {
        return "[Settings]\r\nTeX=" + compilerPath() + "\r\nBib=" + bibtex() + "\r\nMkIdx=" + indexTool() +
               "\r\nDviPdf=" + converter() + "\r\nMkIdxOpt=-s myindex\r\nMkIdxNvr=1\r\nPdfNeShow=1\r\nPdfSizeNo=1\r\nAcr=1\r\n";
    }

    std::vector<std::string> recorded() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(record_).value_or(""));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The record line of a run in `directory` (with or without its final slash).
    static std::string ran(const std::string& tool, const std::string& arguments, std::string directory) {
        if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
        return tool + " " + arguments + " @" + directory;
    }

private:
    std::string bin_;
    std::string record_;
    std::string count_;
};

}  // namespace kestro::faults

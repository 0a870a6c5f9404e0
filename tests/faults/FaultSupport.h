// Scratch directories, child processes, fake TeX tools and a whole-file
// check of Kestro.ini for the fault tests.
#pragma once

#include <gtest/gtest.h>

#include <grp.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTextFileStore.h"
#include "ScriptedUi.h"
#include "app/Services.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro::faults {

namespace fs = std::filesystem;

// The unprivileged user that read-only conditions are tested as: root
// ignores file permissions.
constexpr uid_t kNobody = 65534;

// A fresh directory under the temporary directory that any user may enter,
// removed afterwards whatever its permissions became.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "kestro-faults-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = fs::canonical(pattern);
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_exec | fs::perms::group_read |
                                   fs::perms::others_exec | fs::perms::others_read);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
             it.increment(ignored)) {
            if (it->is_directory(ignored)) fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
        }
        fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
        fs::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const fs::path& path() const { return path_; }
    std::string operator/(const std::string& name) const { return (path_ / name).string(); }

private:
    fs::path path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The names in a directory, sorted.
inline std::vector<std::string> directoryNames(const fs::path& directory) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory)) names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Restores the current directory when the test ends.
class CurrentDirectoryGuard {
public:
    CurrentDirectoryGuard() : saved_(fs::current_path()) {}
    ~CurrentDirectoryGuard() {
        std::error_code ignored;
        fs::current_path(saved_, ignored);
    }

private:
    fs::path saved_;
};

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
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        ::close(pipeFds[0]);
        std::string report = body();
        if (::testing::Test::HasFailure()) report += "a check of the test support failed in the child\n";
        for (std::size_t done = 0; done < report.size();) {
            const ssize_t n = ::write(pipeFds[1], report.data() + done, report.size() - done);
            if (n <= 0) break;
            done += static_cast<std::size_t>(n);
        }
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    ChildResult result;
    char buffer[4096];
    for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        result.report.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(pipeFds[0]);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (WIFEXITED(status)) result.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.signal = WTERMSIG(status);
    return result;
}

// In a child: become the unprivileged user when running as root, so that
// permissions count. False when that is not possible.
inline bool dropRootPrivileges() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && ::geteuid() == kNobody;
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

// Polls until `done` holds, for at most `limit`.
template <typename Condition>
bool waitUntil(Condition done, std::chrono::milliseconds limit = std::chrono::seconds(10)) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// A shell script standing in for a tool; executable.
inline std::string writeTool(const std::string& path, const std::string& body) {
    writeFile(path, "#!/bin/sh\nPATH=/usr/bin:/bin; export PATH\n" + body + "\n");
    ::chmod(path.c_str(), 0755);
    return path;
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

// Scratch directories, files, tiny shell scripts, child processes and
// bounded waits for the tests on the real Linux platform (the platform layer,
// the integration and the fault tests).
#pragma once

#include <gtest/gtest.h>

#include <errno.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>

namespace kestro::posixtest {

namespace fs = std::filesystem;

// The unprivileged user that permission checks are tested as: root
// ignores file permissions.
constexpr uid_t kNobody = 65534;

// A fresh directory under the temporary directory that any user may enter
// (a child running as nobody works in it), removed afterwards whatever the
// permissions of it and its subdirectories became.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "kestro-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        // The resolved path, so it compares equal to what getcwd reports.
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

// A shell script with the given body, executable unless told otherwise.
inline std::string writeScript(const std::string& path, const std::string& body, bool executable = true) {
    writeFile(path, "#!/bin/sh\n" + body + "\n");
    ::chmod(path.c_str(), executable ? 0755 : 0644);
    return path;
}

inline std::optional<std::string> readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
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

// The file's content once it exists; scripts write it by a rename, so it is
// never seen half-written.
inline std::optional<std::string> waitForFile(const std::string& path) {
    if (!waitUntil([&] { return fs::exists(path); })) return std::nullopt;
    return readFile(path);
}

// In a child: become the unprivileged user when running as root, so that
// permissions count. False when that is not possible.
inline bool dropRootPrivileges() {
    if (::geteuid() != 0) return true;
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0 && ::geteuid() == kNobody;
}

// How a child process ended.
struct ChildEnd {
    int exitCode = -1;  // -1 when it did not exit normally
    int signal = 0;     // the signal that ended it, if one did
};

// Forks a child that runs `body` and exits with what it returns; the parent
// runs `meanwhile` (when given) before it waits for the child.
inline ChildEnd forkChild(const std::function<int()>& body, const std::function<void()>& meanwhile = {}) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) ::_exit(body());
    if (meanwhile) meanwhile();
    ChildEnd end;
    int status = 0;
    pid_t waited;
    while ((waited = ::waitpid(pid, &status, 0)) < 0 && errno == EINTR) {
    }
    if (waited != pid) return end;
    if (WIFEXITED(status)) end.exitCode = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) end.signal = WTERMSIG(status);
    return end;
}

// Runs `body` in a child process and gives its exit code (-1 when it did
// not exit normally). With dropPrivileges and root, the child becomes nobody
// first, so that permissions apply to it; 77 means that failed.
inline int inChild(const std::function<int()>& body, bool dropPrivileges = false) {
    return forkChild([&] { return dropPrivileges && !dropRootPrivileges() ? 77 : body(); }).exitCode;
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

// Sets an environment variable for the test and restores it afterwards.
class EnvironmentGuard {
public:
    EnvironmentGuard(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = ::getenv(name_.c_str())) saved_ = old;
        if (value) {
            ::setenv(name_.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }
    ~EnvironmentGuard() {
        if (saved_) {
            ::setenv(name_.c_str(), saved_->c_str(), 1);
        } else {
            ::unsetenv(name_.c_str());
        }
    }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

}  // namespace kestro::posixtest

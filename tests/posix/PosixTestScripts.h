// Scratch directories, tiny shell scripts and bounded waits for the tests of
// the Linux platform layer.
#pragma once

#include <gtest/gtest.h>

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
#include <string>
#include <thread>

namespace kestro::posixtest {

namespace fs = std::filesystem;

// A fresh directory under the temporary directory, removed afterwards.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "kestro-posix-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        // The resolved path, so it compares equal to what getcwd reports.
        path_ = fs::canonical(pattern);
    }
    ~ScratchDirectory() {
        std::error_code ignored;
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
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// The file's content once it exists; scripts write it by a rename, so it is
// never seen half-written.
inline std::optional<std::string> waitForFile(const std::string& path) {
    if (!waitUntil([&] { return fs::exists(path); })) return std::nullopt;
    return readFile(path);
}

// Runs `body` in a child process and gives its exit code (-1 when it did
// not exit normally). With dropPrivileges and root, the child becomes nobody
// first, so that permissions apply to it; 77 means that failed.
inline int inChild(const std::function<int()>& body, bool dropPrivileges = false) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (dropPrivileges && ::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) ::_exit(77);
        ::_exit(body());
    }
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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

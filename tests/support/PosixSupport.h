// What the tests on the real Linux platform share: scratch directories,
// files, children, bounded waits, and fake TeX tools (shell scripts).
#pragma once

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
#include <vector>

namespace kestro::posixtest {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;  // permissions are tested as this user: root ignores them

// A fresh directory that any user may enter, removed afterwards whatever
// the permissions inside became.
class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (fs::temp_directory_path() / "kestro-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = fs::canonical(pattern);  // as getcwd reports it
        fs::permissions(path_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec);
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
    fs::create_directories(fs::path(path).parent_path());
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
    std::ostringstream out;
    if (in) out << in.rdbuf();
    return in ? std::optional(out.str()) : std::nullopt;
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

// The file's content once it exists (scripts write it by a rename).
inline std::optional<std::string> waitForFile(const std::string& path) {
    if (!waitUntil([&] { return fs::exists(path); })) return std::nullopt;
    return readFile(path);
}

// Runs `body` in a child process and gives its exit code (-1 when it did
// not exit). With dropPrivileges and root, the child becomes nobody first,
// so that permissions apply to it; 77 means that failed.
inline int inChild(const std::function<int()>& body, bool dropPrivileges = false) {
    const pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        const bool dropped = !dropPrivileges || ::geteuid() != 0 ||
                             (::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0);
        ::_exit(dropped ? body() : 77);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Restores the current directory when the test ends.
struct CurrentDirectoryGuard {
    fs::path saved = fs::current_path();
    ~CurrentDirectoryGuard() { ::chdir(saved.c_str()); }
};

// Sets (or, with nothing, unsets) an environment variable for the test.
class EnvironmentGuard {
public:
    EnvironmentGuard(std::string name, const std::optional<std::string>& value) : name_(std::move(name)) {
        if (const char* old = ::getenv(name_.c_str())) saved_ = old;
        value ? ::setenv(name_.c_str(), value->c_str(), 1) : ::unsetenv(name_.c_str());
    }
    ~EnvironmentGuard() { saved_ ? ::setenv(name_.c_str(), saved_->c_str(), 1) : ::unsetenv(name_.c_str()); }

private:
    std::string name_;
    std::optional<std::string> saved_;
};

// Shell scripts standing in for tools in <scratch>/bin, each noting "name
// [arg]... @directory" in <scratch>/record.txt. The compiler counts its runs
// in $n, writes the DVI, an empty aux file and a log, then a test's snippet;
// the bibliography tool writes the .bbl.
class FakeTex {
public:
    explicit FakeTex(const ScratchDirectory& scratch)
        : bin_(scratch / "bin"), record_(scratch / "record.txt"), count_(scratch / "count.txt") {
        compiler("");
        tool("pbibtex", "printf 'bbl' > \"$1.bbl\"");
    }

    std::string compiler(const std::string& snippet) {
        return tool("platex", "n=$(cat '" + count_ + "' 2>/dev/null || echo 0); n=$((n+1)); echo $n > '" + count_ +
                                  "'\nprintf 'dvi' > \"$1.dvi\"; : > \"$1.aux\"; printf 'A fake TeX.\\n' > \"$1.log\"\n" +
                                  snippet);
    }
    // A tool that records its run in one write, then runs `body` ($last: the last argument).
    std::string tool(const std::string& name, const std::string& body) {
        return writeScript(bin_ + "/" + name,
                           "PATH=/usr/bin:/bin; export PATH\n"
                           "line=${0##*/}; for a in \"$@\"; do line=\"$line [$a]\"; done\n"
                           "printf '%s @%s\\n' \"$line\" \"$(pwd -P)\" >> '" + record_ + "'\n"
                           "for last in \"$@\"; do :; done\n" + body + "\nexit 0");
    }

    const std::string& bin() const { return bin_; }
    std::string path(const std::string& name) const { return bin_ + "/" + name; }
    std::vector<std::string> recorded() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(record_).value_or(""));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    // The record line of a run in `directory` (a final slash is dropped).
    static std::string ran(const std::string& tool, const std::string& arguments, std::string directory) {
        if (directory.size() > 1 && directory.back() == '/') directory.pop_back();
        return tool + (arguments.empty() ? "" : " " + arguments) + " @" + directory;
    }

private:
    std::string bin_, record_, count_;
};

}  // namespace kestro::posixtest

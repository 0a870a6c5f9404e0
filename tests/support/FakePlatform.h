// In-memory stand-ins for the file system, the processes and the settings
// file storage, so the core can be driven without touching the machine.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ScriptedUi.h"
#include "app/Services.h"
#include "build/FileError.h"
#include "seam/TextFileStore.h"
#include "settings/IniProfile.h"

namespace kestro::fake {

class MemoryFileSystem : public FileSystem {
public:
    // Writes a file stamped with the next tick of the fake clock, or at `time`.
    void write(const std::string& path, const std::string& content, std::optional<FileTime> time = std::nullopt);
    void remove(const std::string& path) { files_.erase(path); }
    void addDirectory(const std::string& path) { directories_.insert(path); }
    void removeDirectory(const std::string& path) { directories_.erase(path); }
    // A file that exists but cannot be read.
    void failReads(const std::string& path, FileErrorCause cause) { failures_[path] = cause; }

    bool exists(const std::string& path) override;
    std::optional<FileTime> modificationTime(const std::string& path) override;
    std::string readWholeFile(const std::string& path) override;
    // The directories named by addDirectory, and those on the way to them.
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<std::string> currentDirectory() override { return current_; }
    bool setCurrentDirectory(const std::string& path) override;

    // Every directory change asked for, in order.
    std::vector<std::string> directoryChanges;

private:
    // Relative names resolve against the current directory.
    std::string resolve(const std::string& path) const;

    std::map<std::string, std::pair<std::string, FileTime>> files_;
    std::set<std::string> directories_;
    std::map<std::string, FileErrorCause> failures_;
    std::optional<std::string> current_;
    FileTime clock_ = 1000;
};

// Programs are functions keyed by the file the lookup must find.
class FakeProcesses : public Processes {
public:
    using Program = std::function<ProcessEnd(const ProcessRequest&)>;

    void install(const std::string& path, Program program) { programs_[path] = std::move(program); }
    // A program that runs `effect` (when given) and exits with `code`.
    void installExiting(const std::string& path, int code, std::function<void()> effect = {});
    void uninstall(const std::string& path) { programs_.erase(path); }
    void setEnvironment(const std::string& name, const std::string& value) { environment_[name] = value; }

    // Every start, waited for or not, in order.
    const std::vector<ProcessRequest>& started() const { return started_; }
    std::vector<std::string> commandLines() const;

    bool isStartable(const std::string& path) override { return programs_.count(path) != 0; }
    std::optional<std::string> environment(const std::string& name) override;
    ProcessEnd startAndWait(const ProcessRequest& request) override;
    int startNoWait(const ProcessRequest& request) override;

private:
    std::map<std::string, Program> programs_;
    std::map<std::string, std::string> environment_;
    std::vector<ProcessRequest> started_;
};

class MemoryTextFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override;
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;
    void setFile(const std::string& path, const std::string& content) { files_[path] = content; }

    bool failWrites = false;
    int reads = 0;
    int writes = 0;

private:
    std::map<std::string, std::string> files_;
};

// The whole seam in memory, under the Windows or the Linux rules.
struct FakeBar {
    explicit FakeBar(PlatformRules rules, std::optional<std::string> settingsPath = std::nullopt);

    // The stored value, or "<absent>".
    std::string setting(const std::string& section, const std::string& key);
    std::string settingsText() { return store.read(settings.path()).value_or(""); }

    PlatformRules rules;
    MemoryTextFileStore store;
    IniProfile profile{store, rules.codePage};
    SettingsFile settings;
    MemoryFileSystem files;
    FakeProcesses processes;
    ScriptedUi ui;
    Services services;
};

}  // namespace kestro::fake

// In-memory stand-ins for the file system, the processes and the settings
// file storage, so the core can be driven without touching the machine.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "app/Services.h"
#include "build/FileError.h"
#include "seam/FileSystem.h"
#include "seam/Processes.h"
#include "seam/TextFileStore.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"
#include "ScriptedUi.h"

namespace kestro::testing {

class MemoryFileSystem : public FileSystem {
public:
    struct Entry {
        std::string content;
        FileTime time = 0;
    };

    // Writes a file with the next tick of the fake clock as its time.
    void write(const std::string& path, const std::string& content);
    void writeAt(const std::string& path, const std::string& content, FileTime time);
    void remove(const std::string& path) { files_.erase(path); }
    void addDirectory(const std::string& path) { directories_.insert(path); }
    void removeDirectory(const std::string& path) { directories_.erase(path); }
    // A file that exists but cannot be read, for the error box.
    void failReads(const std::string& path, FileErrorCause cause) { failures_[path] = cause; }
    std::optional<std::string> content(const std::string& path) const;
    FileTime now() const { return clock_; }
    void tick(FileTime amount = 1) { clock_ += amount; }

    bool exists(const std::string& path) override;
    std::optional<FileTime> modificationTime(const std::string& path) override;
    std::string readWholeFile(const std::string& path) override;
    // Directories named by addDirectory, and those on the way to them.
    std::vector<std::string> subdirectories(const std::string& directory) override;
    std::optional<std::string> currentDirectory() override { return current_; }
    bool setCurrentDirectory(const std::string& path) override;

    // Relative names resolve against the current directory.
    std::string resolve(const std::string& path) const;
    std::vector<std::string> directoryChanges;

private:
    std::map<std::string, Entry> files_;
    std::set<std::string> directories_;
    std::map<std::string, FileErrorCause> failures_;
    std::optional<std::string> current_;
    FileTime clock_ = 1000;
};

// Programs are lambdas on the fake file system, keyed by the file the
// lookup must find.
class FakeProcesses : public Processes {
public:
    using Program = std::function<int(const ProcessRequest&)>;
    using EndingProgram = std::function<ProcessEnd(const ProcessRequest&)>;

    // A program that exits with the code it returns.
    void install(const std::string& path, Program program);
    // One that may also end by a signal.
    void installEnding(const std::string& path, EndingProgram program) { programs_[path] = std::move(program); }
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
    std::map<std::string, EndingProgram> programs_;
    std::map<std::string, std::string> environment_;
    std::vector<ProcessRequest> started_;
};

class MemoryTextFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override;
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;
    std::optional<std::string> file(const std::string& path) const;
    void setFile(const std::string& path, const std::string& content) { files_[path] = content; }
    void failWrites(bool fail) { failWrites_ = fail; }
    int writes() const { return writes_; }

private:
    std::map<std::string, std::string> files_;
    bool failWrites_ = false;
    int writes_ = 0;
};

// The whole seam in memory, with Windows or Linux rules, for one test.
struct FakeBar {
    explicit FakeBar(PlatformRules rules, std::string settingsPath = std::string());

    // The settings file's text, or the empty text when it does not exist.
    std::string settingsText() const;
    std::string setting(const std::string& section, const std::string& key) const;
    bool hasSetting(const std::string& section, const std::string& key) const;

    PlatformRules rules;
    MemoryTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
    MemoryFileSystem files;
    FakeProcesses processes;
    ScriptedUi ui;
    Services services;
};

}  // namespace kestro::testing

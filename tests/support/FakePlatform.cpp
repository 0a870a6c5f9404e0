#include "FakePlatform.h"

#include "settings/IniText.h"

namespace kestro::testing {

void MemoryFileSystem::write(const std::string& path, const std::string& content) {
    ++clock_;
    files_[resolve(path)] = Entry{content, clock_};
}

void MemoryFileSystem::writeAt(const std::string& path, const std::string& content, FileTime time) {
    files_[resolve(path)] = Entry{content, time};
}

std::optional<std::string> MemoryFileSystem::content(const std::string& path) const {
    auto it = files_.find(resolve(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.content;
}

std::string MemoryFileSystem::resolve(const std::string& path) const {
    const bool absolute = (!path.empty() && (path[0] == '/' || path[0] == '\\')) ||
                          (path.size() > 1 && path[1] == ':');
    if (absolute || !current_) return path;
    return *current_ + path;
}

bool MemoryFileSystem::exists(const std::string& path) {
    const std::string full = resolve(path);
    return files_.count(full) != 0 || directories_.count(full) != 0;
}

std::optional<FileTime> MemoryFileSystem::modificationTime(const std::string& path) {
    auto it = files_.find(resolve(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.time;
}

std::string MemoryFileSystem::readWholeFile(const std::string& path) {
    const std::string full = resolve(path);
    if (auto failure = failures_.find(full); failure != failures_.end()) {
        throw FileError(failure->second, path);
    }
    auto it = files_.find(full);
    if (it == files_.end()) throw FileError(FileErrorCause::NotFound, path);
    return it->second.content;
}

std::vector<std::string> MemoryFileSystem::subdirectories(const std::string& directory) {
    std::string prefix = resolve(directory);
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    std::set<std::string> names;
    for (const std::string& known : directories_) {
        if (known.size() <= prefix.size() || known.compare(0, prefix.size(), prefix) != 0) continue;
        const std::string rest = known.substr(prefix.size());
        const std::string name = rest.substr(0, rest.find_first_of("/\\"));
        if (!name.empty()) names.insert(name);
    }
    return {names.begin(), names.end()};
}

bool MemoryFileSystem::setCurrentDirectory(const std::string& path) {
    directoryChanges.push_back(path);
    if (directories_.count(path) == 0) return false;
    current_ = path;
    return true;
}

std::vector<std::string> FakeProcesses::commandLines() const {
    std::vector<std::string> lines;
    for (const ProcessRequest& request : started_) lines.push_back(request.commandLine);
    return lines;
}

std::optional<std::string> FakeProcesses::environment(const std::string& name) {
    auto it = environment_.find(name);
    if (it == environment_.end()) return std::nullopt;
    return it->second;
}

void FakeProcesses::install(const std::string& path, Program program) {
    programs_[path] = [program = std::move(program)](const ProcessRequest& request) {
        return ProcessEnd{program(request), 0};
    };
}

ProcessEnd FakeProcesses::startAndWait(const ProcessRequest& request) {
    auto it = programs_.find(request.executable);
    if (it == programs_.end()) return ProcessEnd{};
    started_.push_back(request);
    return it->second(request);
}

int FakeProcesses::startNoWait(const ProcessRequest& request) {
    auto it = programs_.find(request.executable);
    if (it == programs_.end()) return -1;
    started_.push_back(request);
    it->second(request);
    return 0;
}

std::optional<std::string> MemoryTextFileStore::read(const std::string& path) { return file(path); }

std::optional<std::string> MemoryTextFileStore::file(const std::string& path) const {
    auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

bool MemoryTextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    if (failWrites_) return false;
    std::optional<std::string> next = edit(file(path));
    if (next) {
        files_[path] = *next;
        ++writes_;
    }
    return true;
}

namespace {
std::string defaultSettingsPath(const PlatformRules& rules) {
    return rules.isWindows() ? "C:\\start\\Kestro.ini" : "/start/Kestro.ini";
}
}  // namespace

FakeBar::FakeBar(PlatformRules rulesIn, std::string settingsPath)
    : rules(rulesIn),
      settings(profile, settingsPath.empty() ? defaultSettingsPath(rulesIn) : settingsPath),
      services{rules, settings, files, processes, ui, "Kestro"} {
    const std::string start = rules.isWindows() ? "C:\\start\\" : "/start/";
    files.addDirectory(start);
    files.setCurrentDirectory(start);
    files.directoryChanges.clear();
}

std::string FakeBar::settingsText() const { return store.file(settings.path()).value_or(""); }

std::string FakeBar::setting(const std::string& section, const std::string& key) const {
    return iniLookup(settingsText(), section, key).value_or("<absent>");
}

bool FakeBar::hasSetting(const std::string& section, const std::string& key) const {
    return iniLookup(settingsText(), section, key).has_value();
}

}  // namespace kestro::testing

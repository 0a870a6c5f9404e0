#include "FakePlatform.h"

#include "settings/IniText.h"

namespace kestro::fake {

void MemoryFileSystem::write(const std::string& path, const std::string& content, std::optional<FileTime> time) {
    files_[resolve(path)] = {content, time.value_or(++clock_)};
}

std::string MemoryFileSystem::resolve(const std::string& path) const {
    const bool absolute = (!path.empty() && (path[0] == '/' || path[0] == '\\')) || (path.size() > 1 && path[1] == ':');
    return absolute || !current_ ? path : *current_ + path;
}

bool MemoryFileSystem::exists(const std::string& path) {
    return files_.count(resolve(path)) != 0 || directories_.count(resolve(path)) != 0;
}

std::optional<FileTime> MemoryFileSystem::modificationTime(const std::string& path) {
    const auto it = files_.find(resolve(path));
    if (it == files_.end()) return std::nullopt;
    return it->second.second;
}

std::string MemoryFileSystem::readWholeFile(const std::string& path) {
    if (const auto failure = failures_.find(resolve(path)); failure != failures_.end()) {
        throw FileError(failure->second, path);
    }
    const auto it = files_.find(resolve(path));
    if (it == files_.end()) throw FileError(FileErrorCause::NotFound, path);
    return it->second.first;
}

std::vector<std::string> MemoryFileSystem::subdirectories(const std::string& directory) {
    std::string prefix = resolve(directory);
    if (!prefix.empty() && prefix.back() != '/' && prefix.back() != '\\') prefix += '/';
    std::set<std::string> names;
    for (const std::string& known : directories_) {
        if (known.size() <= prefix.size() || known.compare(0, prefix.size(), prefix) != 0) continue;
        names.insert(known.substr(prefix.size(), known.find_first_of("/\\", prefix.size()) - prefix.size()));
    }
    return {names.begin(), names.end()};
}

bool MemoryFileSystem::setCurrentDirectory(const std::string& path) {
    directoryChanges.push_back(path);
    if (directories_.count(path) == 0) return false;
    current_ = path;
    return true;
}

void FakeProcesses::installExiting(const std::string& path, int code, std::function<void()> effect) {
    install(path, [code, effect](const ProcessRequest&) {
        if (effect) effect();
        return ProcessEnd{code, 0};
    });
}

std::vector<std::string> FakeProcesses::commandLines() const {
    std::vector<std::string> lines;
    for (const ProcessRequest& request : started_) lines.push_back(request.commandLine);
    return lines;
}

std::optional<std::string> FakeProcesses::environment(const std::string& name) {
    const auto it = environment_.find(name);
    if (it == environment_.end()) return std::nullopt;
    return it->second;
}

ProcessEnd FakeProcesses::startAndWait(const ProcessRequest& request) {
    const auto it = programs_.find(request.executable);
    if (it == programs_.end()) return ProcessEnd{};
    started_.push_back(request);
    return it->second(request);
}

int FakeProcesses::startNoWait(const ProcessRequest& request) {
    if (programs_.count(request.executable) == 0) return -1;
    startAndWait(request);
    return 0;
}

std::optional<std::string> MemoryTextFileStore::read(const std::string& path) {
    ++reads;
    const auto it = files_.find(path);
    if (it == files_.end()) return std::nullopt;
    return it->second;
}

bool MemoryTextFileStore::update(
    const std::string& path,
    const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) {
    const auto it = files_.find(path);
    const std::optional<std::string> next = edit(it == files_.end() ? std::nullopt : std::optional(it->second));
    if (!next) return true;
    if (failWrites) return false;
    files_[path] = *next;
    ++writes;
    return true;
}

FakeBar::FakeBar(PlatformRules rulesIn, std::optional<std::string> settingsPath)
    : rules(rulesIn),
      settings(profile, settingsPath.value_or(rules.isWindows() ? "C:\\start\\Kestro.ini" : "/start/Kestro.ini")),
      services{rules, settings, files, processes, ui, "Kestro"} {
    const std::string start = rules.isWindows() ? "C:\\start\\" : "/start/";
    files.addDirectory(start);
    files.setCurrentDirectory(start);
    files.directoryChanges.clear();
}

std::string FakeBar::setting(const std::string& section, const std::string& key) {
    return iniLookup(rules.codePage, settingsText(), section, key).value_or("<absent>");
}

}  // namespace kestro::fake

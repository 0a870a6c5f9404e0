#include "Watch.h"

#include <chrono>
#include <cstdio>

#include "KestroBuild.h"
#include "LogReport.h"
#include "pipeline/CompilerInputs.h"
#include "seam/FileError.h"

namespace kestro::cli {
namespace {

// Saves closer together than this are one burst: an editor writing a file
// in two steps, or saving several files at once.
constexpr std::chrono::milliseconds kBurstQuiet{200};

// Where TeX installations keep their own files, which nobody edits between
// two builds.
constexpr const char* kInstallationTrees[] = {
    "/usr/share/texlive/", "/usr/share/texmf/", "/usr/local/texlive/", "/usr/local/share/texmf/",
    "/opt/texlive/",       "/var/lib/texmf/",   "/etc/texmf/",
};

bool inInstallation(const std::string& path) {
    for (const char* tree : kInstallationTrees) {
        if (path.starts_with(tree)) return true;
    }
    return false;
}

std::string seconds(std::chrono::steady_clock::duration took) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", std::chrono::duration<double>(took).count());
    return text;
}

}  // namespace

DocumentWatch::DocumentWatch(FileWatcher& watcher, FileSystem& files, const BarState& state,
                             const std::string& appName, std::ostream& messages)
    : watcher_(watcher), files_(files), state_(state), appName_(appName), messages_(messages) {}

int DocumentWatch::run(const std::function<bool()>& build) {
    // Watched from the start, so a save during the first build counts too.
    watcher_.watch({pathFromLog(state_, state_.documentPath)});
    for (;;) {
        const std::optional<FileTime> recorderBefore = files_.modificationTime(besideDocument(".fls"));
        const auto start = std::chrono::steady_clock::now();
        if (build()) {
            messages_ << appName_ << ": built " << state_.documentStem << ".pdf in "
                      << seconds(std::chrono::steady_clock::now() - start) << " s\n";
        }
        messages_.flush();
        if (!watcher_.watch(filesToWatch(recorderBefore))) {
            messages_ << appName_ << ": " << state_.documentDir << " cannot be watched\n";
            return kExitFailure;
        }
        watcher_.waitForChange(std::nullopt);
        while (watcher_.waitForChange(kBurstQuiet)) {
        }
    }
}

std::vector<std::string> DocumentWatch::filesToWatch(const std::optional<FileTime>& recorderBefore) {
    // A recorder file counts only when this build's compiler wrote it.
    std::optional<std::string> recorder;
    const std::optional<FileTime> recorderAfter = files_.modificationTime(besideDocument(".fls"));
    if (recorderAfter && recorderAfter != recorderBefore) recorder = readOrEmpty(besideDocument(".fls"));

    const LogFileExists exists = logFileExists(files_, state_);
    std::vector<std::string> watched = {pathFromLog(state_, state_.documentPath)};
    for (const std::string& name :
         compilerInputs(CodePage::Utf8, readOrEmpty(besideDocument(".log")), recorder, state_.documentStem, exists)) {
        const std::string path = pathFromLog(state_, name);
        if (!inInstallation(path)) watched.push_back(path);
    }
    return watched;
}

std::string DocumentWatch::besideDocument(const std::string& extension) const {
    return state_.documentDir + state_.documentStem + extension;
}

std::string DocumentWatch::readOrEmpty(const std::string& path) {
    try {
        return files_.readWholeFile(path);
    } catch (const FileError&) {
    } catch (const MemoryError&) {
    }
    return "";
}

}  // namespace kestro::cli

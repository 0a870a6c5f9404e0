#include "LogReport.h"

#include <filesystem>

#include "pipeline/FirstTexError.h"
#include "pipeline/LatexWarnings.h"
#include "seam/FileError.h"

namespace kestro::cli {

std::string shownFrom(const std::optional<std::string>& start, const std::string& path) {
    namespace fs = std::filesystem;
    const fs::path normal = fs::path(path).lexically_normal();
    if (!start) return normal.string();
    const fs::path relative = normal.lexically_relative(*start);
    if (relative.empty() || *relative.begin() == "..") return normal.string();
    return relative.string();
}

std::string pathFromLog(const BarState& state, const std::string& name) {
    return std::filesystem::path(name.starts_with('/') ? name : state.documentDir + name).lexically_normal().string();
}

LogFileExists logFileExists(FileSystem& files, const BarState& state) {
    return [&files, &state](const std::string& name) { return files.exists(pathFromLog(state, name)); };
}

LogReport::LogReport(FileSystem& files, const BarState& state, std::optional<std::string> start)
    : state_(state), exists_(logFileExists(files, state)), start_(std::move(start)) {
    try {
        log_ = files.readWholeFile(state.documentDir + state.documentStem + ".log");
    } catch (const FileError&) {
    } catch (const MemoryError&) {
    }
}

std::optional<std::string> LogReport::firstErrorLine() const {
    const std::optional<LogPlace> error =
        firstTexError(CodePage::Utf8, log_, exists_);
    if (!error) return std::nullopt;
    return placeOf(error->file, error->line) + " " + error->message;
}

std::vector<std::string> LogReport::warningLines() const {
    std::vector<std::string> lines;
    for (const LogPlace& warning : latexWarnings(CodePage::Utf8, log_, exists_)) {
        lines.push_back(placeOf(warning.file, warning.line) + " warning: " + warning.message);
    }
    return lines;
}

std::string LogReport::placeOf(const std::string& logName, const std::optional<long>& line) const {
    std::string place = shownFrom(start_, logName.empty() ? state_.documentPath : pathFromLog(state_, logName)) + ":";
    if (line) place += std::to_string(*line) + ":";
    return place;
}

}  // namespace kestro::cli

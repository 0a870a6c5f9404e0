#include "pipeline/ToolSearch.h"

#include <algorithm>
#include <array>

#include "pipeline/DocumentDirectory.h"
#include "pipeline/Launcher.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"
#include "text/TextFormat.h"

namespace kestro {

namespace {

// A candidate of the fixed directories is started as the exact file it
// names: never completed, never looked for along PATH.
int runCandidate(Services& services, const std::string& candidate, const std::vector<CommandPart>& parts) {
    if (!services.processes.isStartable(candidate)) return -1;
    return startRecorded(services, candidate, processRequest(services.rules.codePage, candidate, candidate, parts));
}

constexpr std::array<const char*, 3> kWindowsSearchDirs = {
    "c:\\w32tex\\bin\\",
    "c:\\tex\\bin\\",
    "c:\\usr\\local\\bin\\",
};

// Year directories newest first, numerically (a year with more digits is
// later); other names after them, in reverse order of their bytes.
bool newerFirst(const std::string& a, const std::string& b) {
    auto isYear = [](const std::string& name) {
        return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    if (isYear(a) != isYear(b)) return isYear(a);
    if (isYear(a) && a.size() != b.size()) return a.size() > b.size();
    return a > b;
}

// root/*/bin/*/, the first star newest first, the second in name order.
void addTexLiveBins(FileSystem& files, const std::string& root, std::vector<std::string>& dirs) {
    std::vector<std::string> releases = files.subdirectories(root);
    std::sort(releases.begin(), releases.end(), newerFirst);
    for (const std::string& release : releases) {
        const std::string bin = root + release + "/bin/";
        std::vector<std::string> platforms = files.subdirectories(bin);
        std::sort(platforms.begin(), platforms.end());
        for (const std::string& platform : platforms) dirs.push_back(bin + platform + "/");
    }
}
constexpr const char* kCompilerHint = "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。";
constexpr const char* kCompilerFailure =
    "TeX のコンパイラー \"%s\" が実行できません。\n"
    "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。";

// The question, then the selection; true when the user chose a compiler.
// Cancel on the question goes back to the default compiler.
bool userChoosesCompiler(BarState& state, Services& services, const std::string& question) {
    const Answer answer = showBarMessage(services, question, BoxIcon::Exclamation, BoxButtons::OkCancel);
    if (answer != Answer::Ok) {
        state.texCommand = services.rules.defaultTexCommand();
        services.settings.deleteSetting(keys::kSettings, keys::kTex);
        showBarMessage(services, kCompilerHint);
        return false;
    }
    if (selectTexCompiler(state, services) == 0) {
        showBarMessage(services, kCompilerHint);
        return false;
    }
    return true;
}

}  // namespace

std::vector<std::string> toolSearchDirs(const PlatformRules& rules, FileSystem& files) {
    if (rules.isWindows()) return {kWindowsSearchDirs.begin(), kWindowsSearchDirs.end()};
    std::vector<std::string> dirs;
    addTexLiveBins(files, "/usr/local/texlive/", dirs);
    addTexLiveBins(files, "/opt/texlive/", dirs);
    dirs.push_back("/usr/bin/");
    return dirs;
}

std::string searchCandidate(const PlatformRules& rules, const std::string& directory, const std::string& command) {
    return directory + command + (rules.isWindows() ? ".exe" : "");
}

SearchResult searchToolDirs(Services& services, const std::string& command,
                            const std::vector<CommandPart>& parts, SearchAcceptance acceptance) {
    SearchResult result;
    for (const std::string& directory : toolSearchDirs(services.rules, services.files)) {
        const std::string candidate = searchCandidate(services.rules, directory, command);
        const int code = runCandidate(services, candidate, parts);
        if (code == -1) continue;
        result.candidate = candidate;
        result.exitCode = code;
        const bool accepted = acceptance == SearchAcceptance::AnyStart || code == 0;
        result.outcome = accepted ? SearchResult::Outcome::Accepted : SearchResult::Outcome::Rejected;
        return result;
    }
    return result;
}

int compilerFallback(BarState& state, Services& services) {
    // The texts name the command in force now, before any pick.
    const std::string question = fillPlaceholder(services.rules.texts().compilerQuestion, "%s", state.texCommand);
    const std::string failure = fillPlaceholder(kCompilerFailure, "%s", state.texCommand);
    const std::string notStarted = state.texCommand + " could not be started";
    const std::vector<CommandPart> parts = compilerParts(state.texOptions, state.documentStem);
    auto giveUp = [&services, &notStarted] {
        services.road.noteStop(notStarted);
        return 0;
    };

    if (!services.rules.namesExecutable(state.texCommand)) {
        SearchResult found = searchToolDirs(services, state.texCommand, parts, SearchAcceptance::AnyStart);
        if (found.outcome == SearchResult::Outcome::Accepted) {
            state.texCommand = found.candidate;
            services.settings.writeSettingString(keys::kSettings, keys::kTex, state.texCommand);
            return 1;
        }
    }

    // Where no executable can be chosen (an unattended console run), the
    // question's Cancel would reset a chosen compiler nobody was asked
    // about: say what failed and change nothing.
    if (!services.ui.canChooseFiles()) {
        showBarMessage(services, failure);
        return giveUp();
    }
    if (!userChoosesCompiler(state, services, question)) return giveUp();
    enterDocumentDirectory(state, services);
    const int code = runAndWait(services, state.texCommand, parts);
    if (code == kStartRefused) return 0;
    if (code != -1) return 1;
    showBarMessage(services, failure);
    return giveUp();
}

}  // namespace kestro

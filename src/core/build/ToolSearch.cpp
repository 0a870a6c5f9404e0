#include "build/ToolSearch.h"

#include "build/DocumentDirectory.h"
#include "build/Launcher.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"
#include "text/TextFormat.h"

namespace kestro {

namespace {

// A candidate of the fixed directories is started as the exact file it
// names: never completed, never looked for along PATH.
int runCandidate(Services& services, const std::string& candidate, const std::vector<CommandPart>& parts) {
    if (!services.processes.isStartable(candidate)) return -1;
    return services.processes.startAndWait(processRequest(services.rules.codePage, candidate, candidate, parts));
}

constexpr const char* kCompilerQuestion =
    "TeX のコンパイラー \"%s\" が実行できません。パスが通ってない可能性があります。\n"
    "もし TeX をインストールしているなら、自分で選択してください。\n"
    "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\n"
    "TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" などにあるでしょう。";
constexpr const char* kCompilerHint = "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。";
constexpr const char* kCompilerFailure =
    "TeX のコンパイラー \"%s\" が実行できません。\n"
    "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。";

}  // namespace

SearchResult searchToolDirs(Services& services, const std::string& command,
                            const std::vector<CommandPart>& parts, SearchAcceptance acceptance) {
    SearchResult result;
    for (const char* directory : toolSearchDirs) {
        const std::string candidate = std::string(directory) + command + ".exe";
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
    const std::string question = fillPlaceholder(kCompilerQuestion, "%s", state.texCommand);
    const std::string failure = fillPlaceholder(kCompilerFailure, "%s", state.texCommand);
    const std::vector<CommandPart> parts{stemPart(state.documentStem)};

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
        return 0;
    }
    const Answer answer = showBarMessage(services, question, BoxIcon::Exclamation, BoxButtons::OkCancel);
    if (answer != Answer::Ok) {
        state.texCommand = services.rules.defaultTexCommand();
        services.settings.deleteSetting(keys::kSettings, keys::kTex);
        showBarMessage(services, kCompilerHint);
        return 0;
    }
    if (selectTexCompiler(state, services) == 0) {
        showBarMessage(services, kCompilerHint);
        return 0;
    }
    enterDocumentDirectory(state, services);
    if (runAndWait(services, state.texCommand, parts) != -1) return 1;
    showBarMessage(services, failure);
    return 0;
}

}  // namespace kestro

#include "pipeline/Bibliography.h"

#include "pipeline/Launcher.h"
#include "pipeline/ToolStep.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"

namespace kestro {

namespace {

constexpr const char* kBibtexHint =
    "BibTeX (\"jbibtex.exe\") は「設定」→「BibTeX の選択」からも選択できます。\n"
    "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。";
constexpr const char* kBibtexStartFailure = "BibTeX が起動できません。";
constexpr const char* kBibtexError =
    "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\n"
    "DVI ファイルの参考文献の欄も確かめてみて下さい。";

}  // namespace

int runBibliography(BarState& state, Services& services) {
    ToolStep step{
        state.bibtexCommand,
        keys::kBib,
        {stemPart(state.documentStem)},
        services.rules.bibtexNameFor(state.texCommand),
        [&state, &services] { return selectBibtex(state, services); },
        kBibtexHint,
        kBibtexStartFailure,
        kBibtexError,
    };
    return runToolStep(state, services, step);
}

}  // namespace kestro

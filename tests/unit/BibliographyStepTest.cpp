#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"

namespace kestro::testing {
namespace {

const std::string kHint =
    "BibTeX (\"jbibtex.exe\") は「設定」→「BibTeX の選択」からも選択できます。\n"
    "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。";
const std::string kStartFailure = "BibTeX が起動できません。";
const std::string kError =
    "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\n"
    "DVI ファイルの参考文献の欄も確かめてみて下さい。";
// The tool selection's own question comes between.
const std::string kSelectionPrefix = "BibTeX が実効できない時は";

class BibliographyTest : public PipelineTest {
protected:
    int run() { return runBibliography(state, bar.services); }
    std::vector<std::string> texts() const {
        std::vector<std::string> result = bar.ui.boxTexts();
        for (std::string& text : result) {
            if (text.rfind(kSelectionPrefix, 0) == 0) text = "<selection>";
        }
        return result;
    }
};

TEST_P(BibliographyTest, SuccessfulRunAsksForARerun) {
    installTool(toolPath(bibtexName()), 0);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(bar.processes.commandLines(), (std::vector<std::string>{bibtexName() + " paper"}));
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(BibliographyTest, ToolErrorShowsTheErrorText) {
    installTool(toolPath(bibtexName()), 2);
    EXPECT_EQ(run(), 0);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].text, kError);
    EXPECT_EQ(bar.ui.boxes()[0].buttons, BoxButtons::Ok);
    EXPECT_EQ(bar.ui.boxes()[0].icon, BoxIcon::None);
    EXPECT_EQ(bar.ui.boxes()[0].caption, "Kestro");
}

TEST_P(BibliographyTest, NamedExecutableThatIsGoneGivesTheErrorAtOnce) {
    state.bibtexCommand = windows ? "C:\\old\\jbibtex.exe" : "/old/pbibtex";
    installTool("c:\\w32tex\\bin\\" + bibtexName() + ".exe", 0);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kError}));
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(BibliographyTest, DefaultNameFollowsTheCompiler) {
    struct Case {
        std::string tex;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"latex", "bibtex"},
        {"platex", bibtexName()},
        {"c:\\w32tex\\bin\\platex.exe", bibtexName()},
        {"PLATEX", "bibtex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.tex);
        state.texCommand = c.tex;
        state.bibtexCommand = "mybib";
        const std::string candidate = "c:\\w32tex\\bin\\" + c.expected + ".exe";
        installTool(candidate, 0);
        EXPECT_EQ(run(), 1);
        EXPECT_EQ(bar.processes.started().back().executable, candidate);
        bar.processes.uninstall(candidate);
    }
}

TEST_P(BibliographyTest, FoundInTheSecondDirectoryIsStored) {
    state.bibtexCommand = "jbibtex";
    state.texCommand = "platex";
    installTool("c:\\tex\\bin\\" + bibtexName() + ".exe", 0);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(state.bibtexCommand, "c:\\tex\\bin\\" + bibtexName() + ".exe");
    EXPECT_EQ(bar.setting("Settings", "Bib"), state.bibtexCommand);
    EXPECT_EQ(bar.processes.started().size(), 1u);
}

TEST_P(BibliographyTest, FoundWithAnErrorGivesTheHintAndStoresNothing) {
    bar.settings.writeSettingString("Settings", "Bib", "mybib");
    state.bibtexCommand = "mybib";
    installTool("c:\\w32tex\\bin\\" + bibtexName() + ".exe", 1);
    installTool("c:\\tex\\bin\\" + bibtexName() + ".exe", 0);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kHint}));
    EXPECT_EQ(state.bibtexCommand, bibtexName());
    EXPECT_EQ(bar.setting("Settings", "Bib"), "mybib");
    EXPECT_EQ(bar.processes.started().size(), 1u);
}

TEST_P(BibliographyTest, SelectionCancelledEndsWithTheDefault) {
    state.bibtexCommand = "mybib";
    bar.settings.writeSettingString("Settings", "Bib", "mybib");
    bar.ui.answerQuestion(Answer::Cancel);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kStartFailure, "<selection>", kError}));
    EXPECT_EQ(state.bibtexCommand, bibtexName());
    EXPECT_FALSE(bar.hasSetting("Settings", "Bib"));
}

TEST_P(BibliographyTest, PickedToolIsRetriedOnce) {
    const std::string picked = windows ? "D:\\bin\\jbibtex.exe" : "/opt/bin/pbibtex";
    installTool(picked, 0);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(texts(), (std::vector<std::string>{kStartFailure, "<selection>"}));
    EXPECT_EQ(bar.setting("Settings", "Bib"), picked);
    EXPECT_EQ(bar.processes.commandLines(), (std::vector<std::string>{picked + " paper"}));
    EXPECT_EQ(bar.files.directoryChanges, (std::vector<std::string>{docDir}));
}

TEST_P(BibliographyTest, PickedToolThatFailsGivesTheErrorText) {
    for (int code : {-1, 3}) {
        SCOPED_TRACE(code);
        state.bibtexCommand = "jbibtex";
        const std::string picked = windows ? "D:\\bin\\jbibtex.exe" : "/opt/bin/pbibtex";
        bar.processes.uninstall(picked);
        if (code != -1) installTool(picked, code);
        bar.ui.answerQuestion(Answer::Ok);
        bar.ui.answerFileDialog(picked);
        EXPECT_EQ(run(), 0);
        EXPECT_EQ(texts().back(), kError);
    }
}

TEST_P(BibliographyTest, RetryRefusesADocumentDirectoryThatWentAway) {
    const std::string picked = windows ? "D:\\bin\\jbibtex.exe" : "/opt/bin/pbibtex";
    installTool(picked, 0);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    bar.ui.onMessage = [this](const MessageBoxRequest&) { bar.files.removeDirectory(docDir); };
    EXPECT_THROW(run(), FileError);
    EXPECT_TRUE(bar.processes.started().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, BibliographyTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "build/Launcher.h"
#include "build/ToolSearch.h"

namespace kestro::testing {
namespace {

std::string question(const std::string& command) {
    return "TeX のコンパイラー \"" + command +
           "\" が実行できません。パスが通ってない可能性があります。\n"
           "もし TeX をインストールしているなら、自分で選択してください。\n"
           "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\n"
           "TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" などにあるでしょう。";
}
const std::string kHint = "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。";
std::string failure(const std::string& command) {
    return "TeX のコンパイラー \"" + command + "\" が実行できません。\n" + kHint;
}

class SearchDirsTest : public PipelineTest {
protected:
    SearchResult search(const std::string& command, SearchAcceptance acceptance) {
        return searchToolDirs(bar.services, command, {stemPart("paper")}, acceptance);
    }
};

TEST_P(SearchDirsTest, TriesTheDirectoriesInOrder) {
    installTool("c:\\tex\\bin\\platex.exe", 0);
    installTool("c:\\usr\\local\\bin\\platex.exe", 0);
    SearchResult found = search("platex", SearchAcceptance::AnyStart);
    EXPECT_EQ(found.outcome, SearchResult::Outcome::Accepted);
    EXPECT_EQ(found.candidate, "c:\\tex\\bin\\platex.exe");
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].commandLine, "c:\\tex\\bin\\platex.exe paper");
}

TEST_P(SearchDirsTest, AcceptanceDecidesOnTheFirstCandidateThatStarts) {
    installTool("c:\\w32tex\\bin\\jbibtex.exe", 2);
    installTool("c:\\tex\\bin\\jbibtex.exe", 0);
    SearchResult compiler = search("jbibtex", SearchAcceptance::AnyStart);
    EXPECT_EQ(compiler.outcome, SearchResult::Outcome::Accepted);
    EXPECT_EQ(compiler.exitCode, 2);
    SearchResult tool = search("jbibtex", SearchAcceptance::ExitCodeZero);
    EXPECT_EQ(tool.outcome, SearchResult::Outcome::Rejected);
    EXPECT_EQ(tool.candidate, "c:\\w32tex\\bin\\jbibtex.exe");
    EXPECT_EQ(bar.processes.started().size(), 2u);
}

TEST_P(SearchDirsTest, CandidatesAreNeverLookedUpElsewhere) {
    // Present along PATH and in the current directory under the candidate's
    // relative spellings: none of them counts.
    installTool(toolPath("platex"), 0);
    installTool(".\\c:\\w32tex\\bin\\platex.exe", 0);
    installTool(toolDir + "c:\\w32tex\\bin\\platex.exe", 0);
    SearchResult found = search("platex", SearchAcceptance::AnyStart);
    EXPECT_EQ(found.outcome, SearchResult::Outcome::NothingStarted);
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(SearchDirsTest, CapitalExeIsStillSearchedWithTheSuffix) {
    installTool("c:\\w32tex\\bin\\PLATEX.EXE.exe", 1);
    EXPECT_EQ(search("PLATEX.EXE", SearchAcceptance::AnyStart).candidate, "c:\\w32tex\\bin\\PLATEX.EXE.exe");
}

INSTANTIATE_TEST_SUITE_P(Rules, SearchDirsTest, ::testing::Bool(), rulesName);

// The compiler's recovery, reached through the compile: the compiler named
// by texCommand cannot be started.
class CompilerRecoveryTest : public PipelineTest {
protected:
    CompilerRecoveryTest() { bar.settings.writeSettingString("Settings", "TeX", "platex"); }
    int compile() { return compileDocument(state, bar.services); }
};

TEST_P(CompilerRecoveryTest, CompilerFoundInTheSecondDirectoryIsKept) {
    installCompilerAt("c:\\tex\\bin\\platex.exe");
    queueRun(CompilerRun().exitWith(1));  // an error exit is still a start
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(state.texCommand, "c:\\tex\\bin\\platex.exe");
    EXPECT_EQ(bar.setting("Settings", "TeX"), "c:\\tex\\bin\\platex.exe");
    EXPECT_EQ(bar.processes.started().size(), 1u);  // the search's run counts
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(CompilerRecoveryTest, NamedExecutableSkipsTheSearch) {
    state.texCommand = windows ? "C:\\gone\\platex.exe" : "/gone/platex";
    installCompilerAt("c:\\w32tex\\bin\\" + state.texCommand + ".exe");
    bar.ui.answerQuestion(Answer::Cancel);
    EXPECT_EQ(compile(), 0);
    EXPECT_TRUE(bar.processes.started().empty());
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{question(windows ? "C:\\gone\\platex.exe" : "/gone/platex"), kHint}));
}

TEST_P(CompilerRecoveryTest, CancelReturnsToTheDefault) {
    state.texCommand = "uplatex";
    bar.settings.writeSettingString("Settings", "TeX", "uplatex");
    bar.ui.answerQuestion(Answer::Cancel);
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(state.texCommand, "platex");
    EXPECT_FALSE(bar.hasSetting("Settings", "TeX"));
    ASSERT_EQ(bar.ui.boxes().size(), 2u);
    const MessageBoxRequest& asked = bar.ui.boxes()[0];
    EXPECT_EQ(asked.text, question("uplatex"));
    EXPECT_EQ(asked.buttons, BoxButtons::OkCancel);
    EXPECT_EQ(asked.icon, BoxIcon::Exclamation);
    EXPECT_EQ(asked.owner, BoxOwner::Bar);
    EXPECT_EQ(asked.caption, "Kestro");
    const MessageBoxRequest& hint = bar.ui.boxes()[1];
    EXPECT_EQ(hint.text, kHint);
    EXPECT_EQ(hint.buttons, BoxButtons::Ok);
    EXPECT_EQ(hint.icon, BoxIcon::None);
    EXPECT_EQ(hint.owner, BoxOwner::Bar);
}

TEST_P(CompilerRecoveryTest, WithoutFileChoiceNothingIsAskedOrReset) {
    state.texCommand = "uplatex";
    bar.settings.writeSettingString("Settings", "TeX", "uplatex");
    bar.ui.setCanChooseFiles(false);
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(state.texCommand, "uplatex");
    EXPECT_EQ(bar.setting("Settings", "TeX"), "uplatex");
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{failure("uplatex")}));
}

TEST_P(CompilerRecoveryTest, CancelledFileDialogKeepsTheCommand) {
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(std::nullopt);
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(state.texCommand, "platex");
    EXPECT_EQ(bar.setting("Settings", "TeX"), "platex");
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{question("platex"), kHint}));
}

TEST_P(CompilerRecoveryTest, PickedCompilerRunsOnceAndTheCompileGoesOn) {
    const std::string picked = windows ? "D:\\tex\\bin\\platex.exe" : "/opt/tex/bin/platex";
    installCompilerAt(picked);
    queueRun(CompilerRun());
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(state.texCommand, picked);
    EXPECT_EQ(bar.setting("Settings", "TeX"), picked);
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{question("platex")}));
    // The directory is entered again before the retry.
    EXPECT_EQ(bar.files.directoryChanges, (std::vector<std::string>{docDir, docDir}));
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].arguments, (std::vector<std::string>{picked, "paper"}));
}

TEST_P(CompilerRecoveryTest, PickedCompilerThatCannotStartNamesTheOldCommand) {
    const std::string picked = windows ? "D:\\broken\\platex.exe" : "/opt/broken/platex";
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{question("platex"), failure("platex")}));
    EXPECT_EQ(bar.ui.boxes()[1].icon, BoxIcon::None);
    EXPECT_EQ(bar.setting("Settings", "TeX"), picked);
}

TEST_P(CompilerRecoveryTest, PlainModeFallsBackToo) {
    state.texCommand = "ptex";
    installCompilerAt("c:\\w32tex\\bin\\ptex.exe");
    queueRun(CompilerRun().noDvi().exitWith(2));
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(state.texCommand, "c:\\w32tex\\bin\\ptex.exe");
}

TEST_P(CompilerRecoveryTest, RetryRefusesADocumentDirectoryThatWentAway) {
    const std::string picked = windows ? "D:\\tex\\bin\\platex.exe" : "/opt/tex/bin/platex";
    installCompilerAt(picked);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    // While the user looks for the compiler, the document's folder goes.
    bar.ui.onMessage = [this](const MessageBoxRequest&) { bar.files.removeDirectory(docDir); };
    EXPECT_THROW(compile(), FileError);
    EXPECT_TRUE(bar.processes.started().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, CompilerRecoveryTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

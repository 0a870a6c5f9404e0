#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "build/Launcher.h"
#include "build/ToolSearch.h"

namespace kestro::testing {
namespace {

using Texts = std::vector<std::string>;

// On Linux the places named are where TeX Live and the distribution put TeX.
std::string question(const std::string& command, bool windows) {
    return "TeX のコンパイラー \"" + command +
           "\" が実行できません。パスが通ってない可能性があります。\n"
           "もし TeX をインストールしているなら、自分で選択してください。\n"
           "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\n"
           "TeX は " +
           (windows ? "\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\"" : "\"/usr/local/texlive/*/bin/*\", \"/usr/bin\"") +
           " などにあるでしょう。";
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
    installTool(candidate("platex", 1), 0);
    installTool(candidate("platex", 2), 0);
    SearchResult found = search("platex", SearchAcceptance::AnyStart);
    EXPECT_EQ(found.outcome, SearchResult::Outcome::Accepted);
    EXPECT_EQ(found.candidate, candidate("platex", 1));
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].commandLine, candidate("platex", 1) + " paper");
}

TEST_P(SearchDirsTest, AcceptanceDecidesOnTheFirstCandidateThatStarts) {
    installTool(candidate("jbibtex"), 2);
    installTool(candidate("jbibtex", 1), 0);
    SearchResult compiler = search("jbibtex", SearchAcceptance::AnyStart);
    EXPECT_EQ(compiler.outcome, SearchResult::Outcome::Accepted);
    EXPECT_EQ(compiler.exitCode, 2);
    SearchResult tool = search("jbibtex", SearchAcceptance::ExitCodeZero);
    EXPECT_EQ(tool.outcome, SearchResult::Outcome::Rejected);
    EXPECT_EQ(tool.candidate, candidate("jbibtex"));
    EXPECT_EQ(bar.processes.started().size(), 2u);
}

TEST_P(SearchDirsTest, CandidatesAreNeverLookedUpElsewhere) {
    // Present along PATH and in the current directory under the candidate's
    // relative spellings: none of them counts.
    installTool(toolPath("platex"), 0);
    installTool(".\\c:\\w32tex\\bin\\platex.exe", 0);
    installTool(toolDir + "c:\\w32tex\\bin\\platex.exe", 0);
    // On Linux this name is relative: a file planted in the document's folder.
    if (!windows) installTool("c:\\w32tex\\bin\\platex.exe", 0);
    SearchResult found = search("platex", SearchAcceptance::AnyStart);
    EXPECT_EQ(found.outcome, SearchResult::Outcome::NothingStarted);
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(SearchDirsTest, CapitalExeIsStillSearchedWithTheSuffix) {
    installTool(candidate("PLATEX.EXE"), 1);
    EXPECT_EQ(search("PLATEX.EXE", SearchAcceptance::AnyStart).candidate, candidate("PLATEX.EXE"));
}

TEST(ToolSearchDirs, OnLinuxTexLiveNewestYearFirstThenOptThenUsrBin) {
    FakeBar bar{PlatformRules::posix()};
    for (const char* dir : {"/usr/local/texlive/2023/bin/x86_64-linux/", "/usr/local/texlive/2024/bin/x86_64-linux/",
                            "/usr/local/texlive/2024/bin/aarch64-linux/", "/usr/local/texlive/texmf-local/tex/",
                            "/opt/texlive/2022/bin/x86_64-linux/"}) {
        bar.files.addDirectory(dir);
    }
    EXPECT_EQ(toolSearchDirs(bar.rules, bar.files),
              (std::vector<std::string>{"/usr/local/texlive/2024/bin/aarch64-linux/",
                                        "/usr/local/texlive/2024/bin/x86_64-linux/",
                                        "/usr/local/texlive/2023/bin/x86_64-linux/",
                                        "/opt/texlive/2022/bin/x86_64-linux/", "/usr/bin/"}));
    EXPECT_EQ(toolSearchDirs(PlatformRules::windows(), bar.files),
              (std::vector<std::string>{"c:\\w32tex\\bin\\", "c:\\tex\\bin\\", "c:\\usr\\local\\bin\\"}));
}

INSTANTIATE_TEST_SUITE_P(Rules, SearchDirsTest, ::testing::Bool(), rulesName);

// The compiler's recovery, reached through the compile: the compiler named
// by texCommand cannot be started.
class CompilerRecoveryTest : public PipelineTest {
protected:
    CompilerRecoveryTest() { bar.settings.writeSettingString("Settings", "TeX", "platex"); }
    int compile() { return compileDocument(state, bar.services); }
};

// One compile per row: the compiler named and stored, where a compiler is
// installed ("" nowhere; "<picked>" where the user picks it), the user's
// answer and file choice (none: no file dialog can be shown); then the
// result, the boxes ("<cmd>" in a text: the command named), the compiler
// afterwards and the "TeX" key.
TEST_P(CompilerRecoveryTest, EveryRowRecoversAsItShould) {
    const std::string gone = windows ? "C:\\gone\\platex.exe" : "/gone/platex";
    const std::string picked = windows ? "D:\\broken\\platex.exe" : "/opt/broken/platex";
    struct Row {
        const char* name;
        std::string tex;
        std::string installed;
        CompilerRun run;
        std::optional<Answer> answer;
        std::optional<std::string> file;
        int result;
        Texts texts;
        std::string texAfter;
        std::string keyAfter;
        bool unattended = false;
    };
    const Row rows[] = {
        // An error exit is still a start; the search's run counts.
        {"found in the second directory is kept", "platex", candidate("platex", 1), CompilerRun().exitWith(1),
         std::nullopt, std::nullopt, 1, {}, candidate("platex", 1), candidate("platex", 1)},
        {"a named executable skips the search", gone, candidate(gone), CompilerRun(),
         Answer::Cancel, std::nullopt, 0, {question(gone, windows), kHint}, "platex", "<absent>"},
        {"cancel returns to the default", "uplatex", "", CompilerRun(), Answer::Cancel, std::nullopt, 0,
         {question("uplatex", windows), kHint}, "platex", "<absent>"},
        {"without file choice nothing is asked or reset", "uplatex", "", CompilerRun(), std::nullopt, std::nullopt, 0,
         {failure("uplatex")}, "uplatex", "uplatex", true},
        {"a cancelled file dialog keeps the command", "platex", "", CompilerRun(), Answer::Ok, std::nullopt, 0,
         {question("platex", windows), kHint}, "platex", "platex"},
        {"a picked compiler that cannot start names the old command", "platex", "", CompilerRun(), Answer::Ok,
         picked, 0, {question("platex", windows), failure("platex")}, picked, picked},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PipelineWorld w(windows);
        w.state.texCommand = row.tex;
        w.bar.settings.writeSettingString("Settings", "TeX", row.tex);
        if (!row.installed.empty()) {
            w.installCompilerAt(row.installed);
            w.queueRun(row.run);
        }
        if (row.answer) w.bar.ui.answerQuestion(*row.answer);
        if (row.answer == Answer::Ok) w.bar.ui.answerFileDialog(row.file);
        w.bar.ui.setCanChooseFiles(!row.unattended);

        EXPECT_EQ(compileDocument(w.state, w.bar.services), row.result);

        EXPECT_EQ(w.bar.ui.boxTexts(), row.texts);
        for (const MessageBoxRequest& box : w.bar.ui.boxes()) {
            const bool asks = box.text.rfind("TeX のコンパイラー \"", 0) == 0 && box.text.find("自分で選択") != std::string::npos;
            EXPECT_EQ(box.buttons, asks ? BoxButtons::OkCancel : BoxButtons::Ok);
        }
        EXPECT_EQ(w.bar.processes.started().size(), row.result == 1 ? 1u : 0u);
        EXPECT_EQ(w.state.texCommand, row.texAfter);
        EXPECT_EQ(w.bar.setting("Settings", "TeX"), row.keyAfter);
    }
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
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{question("platex", windows)}));
    // The directory is entered again before the retry.
    EXPECT_EQ(bar.files.directoryChanges, (std::vector<std::string>{docDir, docDir}));
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].arguments, (std::vector<std::string>{picked, "paper"}));
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

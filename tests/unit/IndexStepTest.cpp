#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro::testing {
namespace {

const std::string kHint =
    "MakeIndex (\"mendex.exe\") は「設定」の「makeIndex の選択」からも選択できます。\n"
    "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。";
const std::string kStartFailure = "MakeIndex が起動できません。";
const std::string kError = "何かエラーがあります。実行ファイル \"mendex.exe\" を \"makeindex.exe\" にしてしまったとか。";
const std::string kSelectionPrefix = "MakeIndex が実効できない時は";

class IndexTest : public PipelineTest {
protected:
    int run() { return runIndex(state, bar.services); }
    std::vector<std::string> texts() const {
        std::vector<std::string> result = bar.ui.boxTexts();
        for (std::string& text : result) {
            if (text.rfind(kSelectionPrefix, 0) == 0) text = "<selection>";
        }
        return result;
    }
};

TEST_P(IndexTest, RunsWithTheOptionsAndTheStem) {
    installTool(toolPath("mendex"), 0);
    EXPECT_EQ(run(), 1);
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].commandLine, "mendex -s myindex paper");
    EXPECT_EQ(bar.processes.started()[0].arguments, (std::vector<std::string>{"mendex", "-s", "myindex", "paper"}));
    EXPECT_EQ(bar.ui.indexDialogsShown(), 0);
}

TEST_P(IndexTest, EmptyOptionsLeaveTwoSpaces) {
    state.indexOptions = "";
    installTool(toolPath("mendex"), 0);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(bar.processes.started()[0].commandLine, "mendex  paper");
    EXPECT_EQ(bar.processes.started()[0].arguments, (std::vector<std::string>{"mendex", "paper"}));
}

TEST_P(IndexTest, OptionsDialogComesFirstAndItsChoiceIsUsed) {
    state.indexDialogNever = 0;
    installTool(toolPath("mendex"), 0);
    bar.ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("-s jindex -g", false);
        return true;
    });
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(bar.ui.events().front(), "index dialog");
    EXPECT_EQ(bar.processes.started()[0].commandLine, "mendex -s jindex -g paper");
    EXPECT_EQ(state.indexOptions, "-s jindex -g");
    EXPECT_EQ(bar.setting("Settings", "MkIdxOpt"), "-s jindex -g");
}

TEST_P(IndexTest, CancelledDialogStillRunsWithTheOldOptions) {
    state.indexDialogNever = 0;
    installTool(toolPath("mendex"), 0);
    bar.ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("-q", true);
        return false;
    });
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(bar.processes.started()[0].commandLine, "mendex -s myindex paper");
    EXPECT_EQ(state.indexDialogNever, 0);
}

TEST_P(IndexTest, DialogShownOnceAlsoWhenTheStepRetries) {
    state.indexDialogNever = 0;
    const std::string picked = windows ? "D:\\bin\\mendex.exe" : "/opt/bin/mendex";
    installTool(picked, 0);
    bar.ui.answerIndexDialog([](IndexOptionsDialog&) { return false; });
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(bar.ui.indexDialogsShown(), 1);
    EXPECT_EQ(bar.processes.commandLines(), (std::vector<std::string>{picked + " -s myindex paper"}));
}

TEST_P(IndexTest, ToolErrorShowsTheErrorText) {
    installTool(toolPath("mendex"), 1);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kError}));
    EXPECT_EQ(bar.ui.boxes()[0].icon, BoxIcon::None);
    EXPECT_EQ(bar.ui.boxes()[0].owner, BoxOwner::Bar);
}

TEST_P(IndexTest, NamedExecutableThatIsGoneGivesTheErrorAtOnce) {
    state.indexCommand = windows ? "C:\\old\\mendex.exe" : "/old/mendex";
    installTool("c:\\w32tex\\bin\\mendex.exe", 0);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kError}));
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(IndexTest, LatexSearchesForMakeindex) {
    state.texCommand = "latex";
    installTool("c:\\w32tex\\bin\\makeindex.exe", 0);
    installTool("c:\\w32tex\\bin\\mendex.exe", 0);
    EXPECT_EQ(run(), 1);
    EXPECT_EQ(state.indexCommand, "c:\\w32tex\\bin\\makeindex.exe");
    EXPECT_EQ(bar.setting("Settings", "MkIdx"), "c:\\w32tex\\bin\\makeindex.exe");
    EXPECT_EQ(bar.processes.commandLines(), (std::vector<std::string>{"c:\\w32tex\\bin\\makeindex.exe -s myindex paper"}));
}

TEST_P(IndexTest, FoundWithAnErrorGivesTheHintAndKeepsTheDefaultName) {
    state.indexCommand = "myindex";
    installTool("c:\\usr\\local\\bin\\mendex.exe", 4);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kHint}));
    EXPECT_EQ(state.indexCommand, "mendex");
    EXPECT_FALSE(bar.hasSetting("Settings", "MkIdx"));
}

TEST_P(IndexTest, SelectionCancelledEndsWithTheDefault) {
    state.indexCommand = "myindex";
    bar.settings.writeSettingString("Settings", "MkIdx", "myindex");
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(std::nullopt);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kStartFailure, "<selection>", kError}));
    EXPECT_EQ(state.indexCommand, "mendex");
    EXPECT_FALSE(bar.hasSetting("Settings", "MkIdx"));
}

TEST_P(IndexTest, PickedToolThatFailsGivesTheErrorText) {
    const std::string picked = windows ? "D:\\bin\\mendex.exe" : "/opt/bin/mendex";
    installTool(picked, 2);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    EXPECT_EQ(run(), 0);
    EXPECT_EQ(texts(), (std::vector<std::string>{kStartFailure, "<selection>", kError}));
    EXPECT_EQ(bar.setting("Settings", "MkIdx"), picked);
}

TEST_P(IndexTest, RetryRefusesADocumentDirectoryThatWentAway) {
    const std::string picked = windows ? "D:\\bin\\mendex.exe" : "/opt/bin/mendex";
    installTool(picked, 0);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(picked);
    bar.ui.onMessage = [this](const MessageBoxRequest&) { bar.files.removeDirectory(docDir); };
    try {
        run();
        FAIL() << "no file error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.fileName(), docDir);
    }
    EXPECT_TRUE(bar.processes.started().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, IndexTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

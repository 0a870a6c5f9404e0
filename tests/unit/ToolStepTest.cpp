// The bibliography and index steps: a run, and the recovery when their tool
// cannot be started, which both steps share.
#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "dialogs/IndexOptionsDialog.h"

namespace kestro::testing {
namespace {

using Texts = std::vector<std::string>;

struct Step {
    const char* name;
    int (*run)(BarState&, Services&);
    std::string BarState::*field;
    const char* key;
    bool bibliography;
    std::string argumentsAfterProgram;
    std::string startFailure;
    std::string selectionPrefix;  // the tool selection's own question
    std::string hint;
    std::string error;
};

const Step kSteps[] = {
    {"bibliography", runBibliography, &BarState::bibtexCommand, "Bib", true, " paper", "BibTeX が起動できません。",
     "BibTeX が実効できない時は",
     "BibTeX (\"jbibtex.exe\") は「設定」→「BibTeX の選択」からも選択できます。\n"
     "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
     "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\n"
     "DVI ファイルの参考文献の欄も確かめてみて下さい。"},
    {"index", runIndex, &BarState::indexCommand, "MkIdx", false, " -s myindex paper", "MakeIndex が起動できません。",
     "MakeIndex が実効できない時は",
     "MakeIndex (\"mendex.exe\") は「設定」の「makeIndex の選択」からも選択できます。\n"
     "それでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
     "何かエラーがあります。実行ファイル \"mendex.exe\" を \"makeindex.exe\" にしてしまったとか。"},
};

// A fresh document for one step.
struct StepWorld : PipelineWorld {
    StepWorld(bool windows, const Step& step) : PipelineWorld(windows), step(step) {}
    const Step& step;
    std::string tool() const { return step.bibliography ? bibtexName() : "mendex"; }
    std::string toolCandidate(std::size_t index = 0) const { return candidate(tool(), index); }
    std::string picked() const { return (windows ? "D:\\bin\\" : "/opt/bin/") + tool() + (windows ? ".exe" : ""); }
    int run() { return step.run(state, bar.services); }
    void pick(const std::string& path) {
        bar.ui.answerQuestion(Answer::Ok);
        bar.ui.answerFileDialog(path);
    }
    Texts texts() const {
        Texts result = bar.ui.boxTexts();
        for (std::string& text : result) {
            if (text.rfind(step.selectionPrefix, 0) == 0) text = "<selection>";
        }
        return result;
    }
};

class ToolStepTest : public ::testing::TestWithParam<bool> {
protected:
    template <typename Body>
    void forEachStep(Body body) {
        for (const Step& step : kSteps) {
            SCOPED_TRACE(step.name);
            StepWorld w(GetParam(), step);
            body(w);
        }
    }
};

TEST_P(ToolStepTest, SuccessAsksForARerunAndAToolErrorShowsTheErrorText) {
    forEachStep([](StepWorld& w) {
        w.installTool(w.toolPath(w.tool()), 0);
        EXPECT_EQ(w.run(), 1);
        EXPECT_EQ(w.bar.processes.commandLines(), Texts{w.tool() + w.step.argumentsAfterProgram});
        EXPECT_TRUE(w.bar.ui.boxes().empty());

        w.installTool(w.toolPath(w.tool()), 2);
        EXPECT_EQ(w.run(), 0);
        ASSERT_EQ(w.bar.ui.boxes().size(), 1u);
        const MessageBoxRequest& box = w.bar.ui.boxes()[0];
        EXPECT_EQ(box.text, w.step.error);
        EXPECT_EQ(box.owner, BoxOwner::Bar);
    });
}

TEST_P(ToolStepTest, NamedExecutableThatIsGoneGivesTheErrorAtOnce) {
    forEachStep([](StepWorld& w) {
        w.state.*w.step.field = w.windows ? "C:\\old\\" + w.tool() + ".exe" : "/old/" + w.tool();
        w.installTool(w.toolCandidate(), 0);
        EXPECT_EQ(w.run(), 0);
        EXPECT_EQ(w.texts(), Texts{w.step.error});
        EXPECT_TRUE(w.bar.processes.started().empty());
    });
}

TEST_P(ToolStepTest, FoundWithAnErrorGivesTheHintAndStoresNothing) {
    forEachStep([](StepWorld& w) {
        w.bar.settings.writeSettingString("Settings", w.step.key, "mine");
        w.state.*w.step.field = "mine";
        w.installTool(w.toolCandidate(), 1);
        w.installTool(w.toolCandidate(1), 0);
        EXPECT_EQ(w.run(), 0);
        EXPECT_EQ(w.texts(), Texts{w.step.hint});
        EXPECT_EQ(w.state.*w.step.field, w.tool());
        EXPECT_EQ(w.bar.setting("Settings", w.step.key), "mine");
        EXPECT_EQ(w.bar.processes.started().size(), 1u);
    });
}

TEST_P(ToolStepTest, SelectionCancelledAtEitherStepEndsWithTheDefault) {
    for (bool inDialog : {false, true}) {
        forEachStep([inDialog](StepWorld& w) {
            w.state.*w.step.field = "mine";
            w.bar.settings.writeSettingString("Settings", w.step.key, "mine");
            w.bar.ui.answerQuestion(inDialog ? Answer::Ok : Answer::Cancel);
            if (inDialog) w.bar.ui.answerFileDialog(std::nullopt);
            EXPECT_EQ(w.run(), 0);
            EXPECT_EQ(w.texts(), (Texts{w.step.startFailure, "<selection>", w.step.error}));
            EXPECT_EQ(w.state.*w.step.field, w.tool());
            EXPECT_FALSE(w.bar.hasSetting("Settings", w.step.key));
        });
    }
}

TEST_P(ToolStepTest, PickedToolIsRetriedOnceInTheDocumentDirectory) {
    forEachStep([](StepWorld& w) {
        w.installTool(w.picked(), 0);
        w.pick(w.picked());
        EXPECT_EQ(w.run(), 1);
        EXPECT_EQ(w.texts(), (Texts{w.step.startFailure, "<selection>"}));
        EXPECT_EQ(w.bar.setting("Settings", w.step.key), w.picked());
        EXPECT_EQ(w.bar.processes.commandLines(), Texts{w.picked() + w.step.argumentsAfterProgram});
        EXPECT_EQ(w.bar.files.directoryChanges, Texts{w.docDir});
    });
}

TEST_P(ToolStepTest, PickedToolThatFailsOrCannotStartGivesTheErrorText) {
    for (int code : {-1, 3}) {
        forEachStep([code](StepWorld& w) {
            if (code != -1) w.installTool(w.picked(), code);
            w.pick(w.picked());
            EXPECT_EQ(w.run(), 0);
            EXPECT_EQ(w.texts(), (Texts{w.step.startFailure, "<selection>", w.step.error}));
            EXPECT_EQ(w.bar.setting("Settings", w.step.key), w.picked());
        });
    }
}

TEST_P(ToolStepTest, RetryRefusesADocumentDirectoryThatWentAway) {
    forEachStep([](StepWorld& w) {
        w.installTool(w.picked(), 0);
        w.pick(w.picked());
        w.bar.ui.onMessage = [&w](const MessageBoxRequest&) { w.bar.files.removeDirectory(w.docDir); };
        try {
            w.run();
            ADD_FAILURE() << "no file error";
        } catch (const FileError& error) {
            EXPECT_EQ(error.fileName(), w.docDir);
        }
        EXPECT_TRUE(w.bar.processes.started().empty());
    });
}

// --- the bibliography's own ---

TEST_P(ToolStepTest, BibliographyDefaultFollowsTheCompilerAndAFoundToolIsStored) {
    StepWorld w(GetParam(), kSteps[0]);
    const std::pair<std::string, std::string> cases[] = {
        {"latex", "bibtex"}, {"platex", w.bibtexName()}, {"PLATEX", "bibtex"}};
    for (const auto& [tex, expected] : cases) {
        SCOPED_TRACE(tex);
        w.state.texCommand = tex;
        w.state.bibtexCommand = "mybib";
        const std::string candidate = w.candidate(expected);
        w.installTool(candidate, 0);
        EXPECT_EQ(w.run(), 1);
        EXPECT_EQ(w.bar.processes.started().back().executable, candidate);
        EXPECT_EQ(w.state.bibtexCommand, candidate);
        EXPECT_EQ(w.bar.setting("Settings", "Bib"), candidate);
        w.bar.processes.uninstall(candidate);
    }
}

// --- the index's own ---

TEST_P(ToolStepTest, IndexRunsWithTheOptionsGivenAndTheirWords) {
    StepWorld w(GetParam(), kSteps[1]);
    w.installTool(w.toolPath("mendex"), 0);
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.bar.processes.started()[0].arguments, (Texts{"mendex", "-s", "myindex", "paper"}));
    EXPECT_EQ(w.bar.ui.indexDialogsShown(), 0);

    w.state.indexOptions = "";  // two spaces stay
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.bar.processes.started()[1].commandLine, "mendex  paper");
    EXPECT_EQ(w.bar.processes.started()[1].arguments, (Texts{"mendex", "paper"}));

    // A latex compiler searches for makeindex.
    w.state.texCommand = "latex";
    w.state.indexCommand = "myindex";
    const std::string makeindex = w.candidate("makeindex");
    w.installTool(makeindex, 0);
    w.installTool(w.candidate("mendex"), 0);
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.state.indexCommand, makeindex);
    EXPECT_EQ(w.bar.setting("Settings", "MkIdx"), makeindex);
    EXPECT_EQ(w.bar.processes.commandLines().back(), makeindex + "  paper");
}

TEST_P(ToolStepTest, IndexOptionsDialogComesFirstOnceAndOnlyItsOkCounts) {
    StepWorld w(GetParam(), kSteps[1]);
    w.state.indexDialogNever = 0;
    w.installTool(w.toolPath("mendex"), 0);
    w.bar.ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("-s jindex -g", false);
        return true;
    });
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.bar.ui.events().front(), "index dialog");
    EXPECT_EQ(w.bar.processes.commandLines().back(), "mendex -s jindex -g paper");
    EXPECT_EQ(w.state.indexOptions, "-s jindex -g");
    EXPECT_EQ(w.bar.setting("Settings", "MkIdxOpt"), "-s jindex -g");

    w.bar.ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("-q", true);
        return false;
    });
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.bar.processes.commandLines().back(), "mendex -s jindex -g paper");
    EXPECT_EQ(w.state.indexDialogNever, 0);

    // Shown once also when the step retries with a picked tool.
    w.bar.processes.uninstall(w.toolPath("mendex"));
    w.installTool(w.picked(), 0);
    w.bar.ui.answerIndexDialog([](IndexOptionsDialog&) { return false; });
    w.pick(w.picked());
    EXPECT_EQ(w.run(), 1);
    EXPECT_EQ(w.bar.ui.indexDialogsShown(), 3);
    EXPECT_EQ(w.bar.processes.commandLines().back(), w.picked() + " -s jindex -g paper");
}

INSTANTIATE_TEST_SUITE_P(Rules, ToolStepTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"

namespace kestro::testing {
namespace {

const std::string kWarningNotice =
    "コンパイルは成功しました！！\nしかし \"LaTeX Warning\" があります。\n"
    "(\"Font Warning\" ではありません。) \nログファイルで確認して下さい。";

class CompileTest : public PipelineTest {
protected:
    CompileTest() { installCompiler(); }
    int compile() { return compileDocument(state, bar.services); }
};

TEST_P(CompileTest, WithoutDocumentAsksForOneAndRunsNothing) {
    state.documentStem.clear();
    EXPECT_EQ(compile(), 0);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    const MessageBoxRequest& box = bar.ui.boxes()[0];
    EXPECT_EQ(box.text, "処理したい TeX ﾌｧｲﾙ をドラッグ＆ドロップするか、\n「ﾌｧｲﾙ 選択」で、選んで下さい。");
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
    EXPECT_EQ(box.icon, BoxIcon::None);
    EXPECT_EQ(box.caption, "Kestro");
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(CompileTest, SimpleDocumentRunsOnceInItsDirectory) {
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(bar.files.currentDirectory(), docDir);
    ASSERT_EQ(bar.processes.started().size(), 1u);
    const ProcessRequest& request = bar.processes.started()[0];
    EXPECT_EQ(request.executable, toolPath("platex"));
    EXPECT_EQ(request.commandLine, "platex paper");
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(CompileTest, PlainCompilersRunOnceWhateverTheyLeave) {
    for (const char* compiler : {"ptex", "tex", "PLATEX"}) {
        SCOPED_TRACE(compiler);
        state.texCommand = compiler;
        installCompiler(compiler);
        // No DVI, an error exit and a stop in the log: plain mode looks at none.
        queueRun(CompilerRun().withLog("\n? x").noAux().noDvi().exitWith(3));
        EXPECT_EQ(compile(), 1);
        EXPECT_EQ(compilerRunCount(compiler), 1);
    }
    EXPECT_FALSE(bar.files.exists(beside(".dvi")));
}

TEST_P(CompileTest, NoDviMeansFailure) {
    queueRun(CompilerRun().noDvi());
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(compilerRunCount(), 1);
}

TEST_P(CompileTest, DviLeftUntouchedMeansFailure) {
    bar.files.write(beside(".dvi"), "old");
    queueRun(CompilerRun().noDvi());
    EXPECT_EQ(compile(), 0);
}

TEST_P(CompileTest, DviRewrittenWithTheSameTimeIsNotNewer) {
    bar.files.writeAt(beside(".dvi"), "old", 5000);
    bar.processes.install(toolPath("platex"), [this](const ProcessRequest&) {
        bar.files.write(beside(".log"), "log");
        bar.files.writeAt(beside(".dvi"), "new", 5000);
        return 0;
    });
    EXPECT_EQ(compile(), 0);
}

TEST_P(CompileTest, DviNewerByLessThanASecondCounts) {
    // One tick of the clock is a nanosecond: far below a whole second.
    bar.files.writeAt(beside(".dvi"), "old", bar.files.now());
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
}

TEST_P(CompileTest, UserStopAfterTheFirstRunEndsEverything) {
    for (const char* answer : {"x", "X"}) {
        SCOPED_TRACE(answer);
        queueRun(CompilerRun().withLog(std::string("! Undefined control sequence.\n? ") + answer + "\n").withAux("\\bibdata{refs}").withToc("toc").withIdx().exitWith(1));
        EXPECT_EQ(compile(), 0);
    }
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "platex"}));
}

TEST_P(CompileTest, PromptAnswersOtherThanXAreNoStop) {
    queueRun(CompilerRun().withLog("? x at the start of the log\n?x\n? q\n"));
    EXPECT_EQ(compile(), 1);
}

TEST_P(CompileTest, MissingBblRunsTheBibliographyAndTheCompilerAgain) {
    installTool(toolPath(bibtexName()), 0, beside(".bbl"));
    queueRun(CompilerRun().withLog("No file paper.bbl.\n").withAux("\\citation{a}"));
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", bibtexName(), "platex"}));
    EXPECT_EQ(bar.processes.commandLines()[1], bibtexName() + " paper");
}

TEST_P(CompileTest, MissingBblOfAnotherStemIsIgnored) {
    queueRun(CompilerRun().withLog("No file other.bbl.\n").withAux("\\relax"));
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(compilerRunCount(), 1);
}

TEST_P(CompileTest, BibdataRunsTheBibliographyEvenWhenTheBblIsCurrent) {
    installTool(toolPath(bibtexName()), 0);
    bar.files.write(beside(".bbl"), "current");
    bar.files.write(beside(".aux"), "\\bibdata{refs}");
    queueRun(CompilerRun().withLog("").withAux("\\bibdata{refs}"));
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", bibtexName(), "platex"}));
}

TEST_P(CompileTest, FailingBibliographyToolMeansNoRerunButGoesOn) {
    installTool(toolPath(bibtexName()), 2);
    queueRun(CompilerRun().withLog("No file paper.bbl.\n").withAux("\\bibdata{refs}").withIdx());
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", bibtexName(), "mendex", "platex"}));
}

TEST_P(CompileTest, ChangedAuxWithoutBibdataRerunsOnlyWhenItExistedBefore) {
    bar.files.write(beside(".aux"), "\\newlabel{a}{{1}{1}}");
    queueRun(CompilerRun().withLog("").withAux("\\newlabel{a}{{2}{1}}"));
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(compilerRunCount(), 2);
}

TEST_P(CompileTest, UnchangedAuxOrNewAuxMeansNoRerun) {
    bar.files.write(beside(".aux"), "\\relax");
    queueRun(CompilerRun().withLog("").withAux("\\relax"));
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(compilerRunCount(), 1);

    bar.files.remove(beside(".aux"));
    queueRun(CompilerRun().withLog("").withAux("\\newlabel{a}{{1}{1}}"));
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(compilerRunCount(), 2);
}

TEST_P(CompileTest, UserStopInTheBibliographyRerunEndsTheCall) {
    installTool(toolPath(bibtexName()), 0);
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun().withLog("No file paper.bbl.\n").withAux("").withIdx());
    queueRun(CompilerRun().withLog("\n? x\n").noAux());
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", bibtexName(), "platex"}));
}

TEST_P(CompileTest, FailedBibliographyRerunIsNotExaminedButTheFinalLogIs) {
    installTool(toolPath(bibtexName()), 0);
    queueRun(CompilerRun().withLog("No file paper.bbl.\n").withAux(""));
    queueRun(CompilerRun().withLog("\n? x\n").noAux().exitWith(1));
    // The stop shows in the final phase's read of the same log.
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(compilerRunCount(), 2);
}

TEST_P(CompileTest, NewIndexFileRunsTheIndexToolAndTheCompiler) {
    installTool(toolPath("mendex"), 0, beside(".ind"));
    queueRun(CompilerRun().withLog("").withAux("").withIdx());
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "mendex", "platex"}));
    EXPECT_EQ(bar.processes.commandLines()[1], "mendex -s myindex paper");
}

TEST_P(CompileTest, IndexFileNotRewrittenMeansNoIndexRun) {
    bar.files.write(beside(".idx"), "old");
    queueRun(CompilerRun().withLog("").withAux(""));
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex"}));
}

TEST_P(CompileTest, IndexRewrittenAfterASnapshotIsRunAgain) {
    bar.files.write(beside(".idx"), "old");
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun().withLog("").withAux("").withIdx());
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(compilerRunCount("mendex"), 1);
}

TEST_P(CompileTest, UserStopInTheIndexRerunEndsTheCall) {
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun().withLog("").withAux("").withIdx());
    queueRun(CompilerRun().withLog("\n? X\n").noAux().withToc("toc"));
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(compilerRunCount(), 2);
}

TEST_P(CompileTest, FailingIndexToolMeansNoRerun) {
    installTool(toolPath("mendex"), 1);
    queueRun(CompilerRun().withLog("").withAux("").withIdx());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "mendex"}));
}

TEST_P(CompileTest, FiveCompilerRunsAtMost) {
    installTool(toolPath(bibtexName()), 0);
    installTool(toolPath("mendex"), 0);
    bar.files.write(beside(".toc"), "toc 0");
    queueRun(CompilerRun().withLog("No file paper.bbl.\n").withAux("\\bibdata{r}").withToc("toc 1").withIdx());
    queueRun(CompilerRun().withLog("").noAux().withToc("toc 2"));
    queueRun(CompilerRun().withLog("Label(s) may have changed.\n").noAux().withToc("toc 3"));
    queueRun(CompilerRun().withLog("").noAux().withToc("toc 4"));  // run B changes the toc
    queueRun(CompilerRun().withLog("").noAux().withToc("toc 5"));  // run A, whatever happens
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", bibtexName(), "platex", "mendex", "platex",
                                                       "platex", "platex"}));
    EXPECT_TRUE(compilerRuns.empty());
}

TEST_P(CompileTest, LatexWarningInTheFinalLogGivesTheNotice) {
    queueRun(CompilerRun().withLog("LaTeX Warning: Reference `x' undefined.\n"));
    EXPECT_EQ(compile(), 1);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    const MessageBoxRequest& box = bar.ui.boxes()[0];
    EXPECT_EQ(box.text, kWarningNotice);
    EXPECT_EQ(box.caption, "Warning!!");
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_EQ(box.buttons, BoxButtons::Ok);
}

TEST_P(CompileTest, FontWarningsAloneGiveNoNotice) {
    queueRun(CompilerRun().withLog("LaTeX Font Warning: Font shape `JY1/mc/m/it' undefined\n"));
    EXPECT_EQ(compile(), 1);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(CompileTest, WarningFlagFollowsTheLastClosingRun) {
    queueRun(CompilerRun().withLog("Label(s) may have changed.\nLaTeX Warning: x\n"));
    queueRun(CompilerRun().withLog("clean\n"));
    EXPECT_EQ(compile(), 1);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(CompileTest, MissingLogIsAFileErrorNamedByItsBareName) {
    bar.processes.install(toolPath("platex"), [this](const ProcessRequest&) {
        bar.files.write(beside(".dvi"), "dvi");
        return 0;
    });
    try {
        compile();
        FAIL() << "no file error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
        EXPECT_EQ(error.fileName(), "paper.log");
        EXPECT_EQ(fileErrorText(error), "paper.log が見つかりませんでした。");
    }
}

TEST_P(CompileTest, MissingAuxIsAFileErrorWithItsFullPath) {
    queueRun(CompilerRun().noAux());
    try {
        compile();
        FAIL() << "no file error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.fileName(), beside(".aux"));
    }
}

TEST_P(CompileTest, LogWithZeroBytesEndsAtTheFirst) {
    queueRun(CompilerRun().withLog(std::string("clean\n\0\n? x\nLaTeX Warning", 25)).withAux(""));
    EXPECT_EQ(compile(), 1);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(CompileTest, DocumentDirectoryThatIsGoneStopsBeforeAnyTool) {
    bar.files.removeDirectory(docDir);
    try {
        compile();
        FAIL() << "no file error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
        EXPECT_EQ(error.fileName(), docDir);
        EXPECT_EQ(fileErrorText(error), docDir + " が見つかりませんでした。");
    }
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(CompileTest, StemWithBlanksReachesTheToolsAsOneWord) {
    state.documentStem = "my paper";
    installTool(toolPath(bibtexName()), 0);
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun().withLog("No file my paper.bbl.\n").withAux("").withIdx());
    queueRun(CompilerRun());
    queueRun(CompilerRun());
    EXPECT_EQ(compile(), 1);
    const auto& started = bar.processes.started();
    ASSERT_EQ(started.size(), 5u);
    EXPECT_EQ(started[0].commandLine, "platex \"my paper\"");
    EXPECT_EQ(started[0].arguments, (std::vector<std::string>{"platex", "my paper"}));
    EXPECT_EQ(started[1].arguments, (std::vector<std::string>{bibtexName(), "my paper"}));
    EXPECT_EQ(started[3].arguments, (std::vector<std::string>{"mendex", "-s", "myindex", "my paper"}));
}

INSTANTIATE_TEST_SUITE_P(Rules, CompileTest, ::testing::Bool(), rulesName);

// The closing runs, row by row: the toc before and now, whether it changed,
// the label flag, and how many compiler runs the call makes in all.
struct ClosingRow {
    const char* name;
    std::optional<std::string> tocBefore;
    std::optional<std::string> tocNow;
    bool labels;
    int compilerRuns;
};

class ClosingRunsTest : public PipelineTest {};

TEST_P(ClosingRunsTest, EveryRowOfTheTable) {
    const std::vector<ClosingRow> rows = {
        {"before, labels: run B", "t", "t", true, 3},
        {"before, changed, labels: run B", "t", "u", true, 3},
        {"before, changed, no labels: run A", "t", "u", false, 2},
        {"before, gone, no labels: run A", "t", std::nullopt, false, 2},
        {"before, unchanged, no labels: none", "t", "t", false, 1},
        {"new, labels: run B", std::nullopt, "t", true, 3},
        {"new, no labels: run A", std::nullopt, "t", false, 2},
        {"none, labels: run A", std::nullopt, std::nullopt, true, 2},
        {"none, no labels: none", std::nullopt, std::nullopt, false, 1},
    };
    installCompiler();
    for (const ClosingRow& row : rows) {
        SCOPED_TRACE(row.name);
        const int before = compilerRunCount();
        bar.files.remove(beside(".toc"));
        if (row.tocBefore) bar.files.write(beside(".toc"), *row.tocBefore);
        CompilerRun first;
        first.aux = "";
        first.toc = row.tocNow;
        if (row.labels) first.log = "Label(s) may have changed. Rerun to get cross-references right.\n";
        queueRun(first);
        if (!row.tocNow) {
            // The first run removes the table of contents.
            bar.processes.install(toolPath("platex"), [this](const ProcessRequest&) {
                const int code = playCompilerRun();
                bar.files.remove(beside(".toc"));
                return code;
            });
        }
        // Every closing run changes the table of contents, so run B is
        // always followed by run A here, and run A by nothing.
        CompilerRun closing;
        if (row.tocNow) closing.toc = *row.tocNow + " changed";
        queueRun(closing);
        queueRun(closing);
        EXPECT_EQ(compileDocument(state, bar.services), 1);
        EXPECT_EQ(compilerRunCount() - before, row.compilerRuns);
        compilerRuns.clear();
        installCompiler();
    }
}

TEST_P(ClosingRunsTest, RunBFollowedByRunAOnlyWhileTheTocChanges) {
    installCompiler();
    bar.files.write(beside(".toc"), "t");
    queueRun(CompilerRun().withLog("Label(s)\n").withAux("").withToc("t"));
    queueRun(CompilerRun().withLog("").noAux().withToc("t"));  // run B: toc settled
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    EXPECT_EQ(compilerRunCount(), 2);

    bar.files.write(beside(".toc"), "t");
    queueRun(CompilerRun().withLog("Label(s)\n").withAux("").withToc("t"));
    queueRun(CompilerRun().withLog("").noAux().withToc("t2"));  // run B: toc changes
    queueRun(CompilerRun());                                     // run A
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    EXPECT_EQ(compilerRunCount(), 5);
}

TEST_P(ClosingRunsTest, FailingRunBOrRunAMeansFailure) {
    installCompiler();
    queueRun(CompilerRun().withLog("Label(s)\n").withAux("").withToc("t"));
    queueRun(CompilerRun().withLog("").noAux().withToc("t").exitWith(1));
    EXPECT_EQ(compileDocument(state, bar.services), 0);
    EXPECT_EQ(compilerRunCount(), 2);

    bar.files.remove(beside(".toc"));
    queueRun(CompilerRun().withLog("").withAux("").withToc("t"));  // a new toc, no labels: run A
    queueRun(CompilerRun().withLog("LaTeX Warning: x\n? x\n").noAux().withToc("t").exitWith(1));
    EXPECT_EQ(compileDocument(state, bar.services), 0);
    EXPECT_EQ(compilerRunCount(), 4);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(ClosingRunsTest, UserStopInTheFinalLogMeansFailure) {
    installCompiler();
    installTool(toolPath("mendex"), 0);
    queueRun(CompilerRun().withLog("").withAux("").withIdx());
    // The index re-run fails, so its log is only read in the final phase.
    queueRun(CompilerRun().withLog("Label(s)\n? x\n").noAux().exitWith(1));
    EXPECT_EQ(compileDocument(state, bar.services), 0);
    EXPECT_EQ(compilerRunCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Rules, ClosingRunsTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"

namespace kestro::testing {
namespace {

using R = CompilerRun;

const std::string kWarningNotice =
    "コンパイルは成功しました！！\nしかし \"LaTeX Warning\" があります。\n"
    "(\"Font Warning\" ではありません。) \nログファイルで確認して下さい。";

class CompileTest : public PipelineTest {
protected:
    CompileTest() { installCompiler(); }
    int compile() { return compileDocument(state, bar.services); }
    FileError compileError() {
        try {
            compile();
        } catch (const FileError& error) {
            return error;
        }
        ADD_FAILURE() << "no file error";
        return FileError(FileErrorCause::Other, "");
    }
};

// One compile per row, in a fresh world: the files beside the document
// before, the tools' exit codes (-1: not installed), what each compiler run
// leaves, and what the call returns and runs ("bib" is the bibliography tool).
struct Scenario {
    const char* name;
    std::vector<std::pair<std::string, std::string>> before;
    int bibtexCode;
    int indexCode;
    std::vector<CompilerRun> runs;
    int result;
    std::vector<std::string> programs;
    bool warningNotice = false;
};

const std::string kLabels = "Label(s) may have changed.\n";
const Scenario kScenarios[] = {
    {"DVI left untouched", {{".dvi", "old"}}, -1, -1, {R().noDvi()}, 0, {"platex"}},
    // One tick of the clock is a nanosecond: far below a whole second.
    {"DVI newer by a nanosecond", {{".dvi", "old"}}, -1, -1, {R()}, 1, {"platex"}},
    {"user stop x", {}, 0, 0,
     {R().withLog("! Undefined control sequence.\n? x\n").withAux("\\bibdata{refs}").withToc("t").withIdx().exitWith(1)},
     0, {"platex"}},
    {"user stop X", {}, 0, 0, {R().withLog("! Undefined control sequence.\n? X\n").withAux("\\bibdata{refs}").withIdx()}, 0, {"platex"}},
    {"other prompt answers", {}, -1, -1, {R().withLog("? x at the start of the log\n?x\n? q\n")}, 1, {"platex"}},
    {"missing bbl", {}, 0, -1, {R().withLog("No file paper.bbl.\n").withAux("\\citation{a}"), R()}, 1,
     {"platex", "bib", "platex"}},
    {"missing bbl of another stem", {}, 0, -1, {R().withLog("No file other.bbl.\n").withAux("\\relax")}, 1, {"platex"}},
    {"bibdata with a current bbl", {{".bbl", "current"}, {".aux", "\\bibdata{refs}"}}, 0, -1,
     {R().withLog("").withAux("\\bibdata{refs}"), R()}, 1, {"platex", "bib", "platex"}},
    {"failing bibliography tool: no rerun, goes on", {}, 2, 0,
     {R().withLog("No file paper.bbl.\n").withAux("\\bibdata{refs}").withIdx(), R()}, 1,
     {"platex", "bib", "mendex", "platex"}},
    {"changed aux that existed before", {{".aux", "\\newlabel{a}{{1}{1}}"}}, -1, -1,
     {R().withLog("").withAux("\\newlabel{a}{{2}{1}}"), R()}, 1, {"platex", "platex"}},
    {"unchanged aux", {{".aux", "\\relax"}}, -1, -1, {R().withLog("").withAux("\\relax")}, 1, {"platex"}},
    {"new aux", {}, -1, -1, {R().withLog("").withAux("\\newlabel{a}{{1}{1}}")}, 1, {"platex"}},
    {"user stop in the bibliography rerun", {}, 0, 0,
     {R().withLog("No file paper.bbl.\n").withAux("").withIdx(), R().withLog("\n? x\n").noAux()}, 0,
     {"platex", "bib", "platex"}},
    // The failed rerun is not examined; the stop shows in the final read.
    {"failed bibliography rerun", {}, 0, -1,
     {R().withLog("No file paper.bbl.\n").withAux(""), R().withLog("\n? x\n").noAux().exitWith(1)}, 0,
     {"platex", "bib", "platex"}},
    {"index file not rewritten", {{".idx", "old"}}, -1, 0, {R().withLog("").withAux("")}, 1, {"platex"}},
    {"index rewritten after the snapshot", {{".idx", "old"}}, -1, 0, {R().withLog("").withAux("").withIdx(), R()}, 1,
     {"platex", "mendex", "platex"}},
    {"user stop in the index rerun", {}, -1, 0,
     {R().withLog("").withAux("").withIdx(), R().withLog("\n? X\n").noAux().withToc("toc")}, 0,
     {"platex", "mendex", "platex"}},
    {"failing index tool: no rerun", {}, -1, 1, {R().withLog("").withAux("").withIdx()}, 1, {"platex", "mendex"}},
    {"five compiler runs at most", {{".toc", "toc 0"}}, 0, 0,
     {R().withLog("No file paper.bbl.\n").withAux("\\bibdata{r}").withToc("toc 1").withIdx(),
      R().withLog("").noAux().withToc("toc 2"), R().withLog(kLabels).noAux().withToc("toc 3"),
      R().withLog("").noAux().withToc("toc 4"),   // run B changes the toc
      R().withLog("").noAux().withToc("toc 5")},  // run A, whatever happens
     1, {"platex", "bib", "platex", "mendex", "platex", "platex", "platex"}},
    {"LaTeX warning in the final log", {}, -1, -1, {R().withLog("LaTeX Warning: Reference `x' undefined.\n")}, 1,
     {"platex"}, true},
    {"font warnings alone", {}, -1, -1,
     {R().withLog("LaTeX Font Warning: Font shape `JY1/mc/m/it' undefined\n")}, 1, {"platex"}},
    {"warning flag follows the last closing run", {}, -1, -1,
     {R().withLog(kLabels + "LaTeX Warning: x\n"), R().withLog("clean\n")}, 1, {"platex", "platex"}},
    {"log ends at its first zero byte", {}, -1, -1,
     {R().withLog(std::string("clean\n\0\n? x\nLaTeX Warning", 25)).withAux("")}, 1, {"platex"}},
    {"re-run request of a package", {}, -1, -1,
     {R().withLog("Package hyperref Warning: Rerun to get /PageLabels entry.\n").withAux(""), R()}, 1,
     {"platex", "platex"}},
    {"run B with the toc settled", {{".toc", "t"}}, -1, -1,
     {R().withLog(kLabels).withAux("").withToc("t"), R().withLog("").noAux().withToc("t")}, 1, {"platex", "platex"}},
    {"failing run B", {}, -1, -1,
     {R().withLog(kLabels).withAux("").withToc("t"), R().withLog("").noAux().withToc("t").exitWith(1)}, 0,
     {"platex", "platex"}},
    {"failing run A", {}, -1, -1,
     {R().withLog("").withAux("").withToc("t"), R().withLog("LaTeX Warning: x\n? x\n").noAux().withToc("t").exitWith(1)},
     0, {"platex", "platex"}},
    // The index rerun fails, so its log is only read in the final phase.
    {"user stop in the final log", {}, -1, 0,
     {R().withLog("").withAux("").withIdx(), R().withLog(kLabels + "? x\n").noAux().exitWith(1)}, 0,
     {"platex", "mendex", "platex"}},
};

TEST_P(CompileTest, EveryScenarioRunsItsToolsAndEndsAsItShould) {
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        PipelineWorld w(windows);
        w.installCompiler();
        for (const auto& [extension, text] : s.before) w.bar.files.write(w.beside(extension), text);
        if (s.bibtexCode >= 0) w.installTool(w.toolPath(w.bibtexName()), s.bibtexCode);
        if (s.indexCode >= 0) w.installTool(w.toolPath("mendex"), s.indexCode);
        for (const CompilerRun& run : s.runs) w.queueRun(run);

        EXPECT_EQ(compileDocument(w.state, w.bar.services), s.result);

        std::vector<std::string> programs = s.programs;
        for (std::string& p : programs) p = p == "bib" ? w.bibtexName() : p;
        EXPECT_EQ(w.programsRun(), programs);
        EXPECT_TRUE(w.compilerRuns.empty());
        if (!s.warningNotice) {
            // A failing tool has its own box, tested with its step.
            if (s.bibtexCode <= 0 && s.indexCode <= 0) {
                EXPECT_TRUE(w.bar.ui.boxes().empty());
            }
            continue;
        }
        ASSERT_EQ(w.bar.ui.boxes().size(), 1u);
        const MessageBoxRequest& box = w.bar.ui.boxes()[0];
        EXPECT_EQ(box.text, kWarningNotice);
        EXPECT_EQ(box.caption, "Warning!!");
    }
}

TEST_P(CompileTest, WithoutDocumentAsksForOneAndRunsNothing) {
    state.documentStem.clear();
    EXPECT_EQ(compile(), 0);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    const MessageBoxRequest& box = bar.ui.boxes()[0];
    EXPECT_EQ(box.text, "処理したい TeX ﾌｧｲﾙ をドラッグ＆ドロップするか、\n「ﾌｧｲﾙ 選択」で、選んで下さい。");
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(CompileTest, SimpleDocumentRunsOnceInItsDirectory) {
    queueRun(R());
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(bar.files.currentDirectory(), docDir);
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].executable, toolPath("platex"));
    EXPECT_EQ(bar.processes.started()[0].commandLine, "platex paper");
}

TEST_P(CompileTest, PlainCompilersRunOnceWhateverTheyLeave) {
    for (const char* compiler : {"ptex", "tex", "PLATEX"}) {
        SCOPED_TRACE(compiler);
        state.texCommand = compiler;
        installCompiler(compiler);
        // No DVI, an error exit and a stop in the log: plain mode looks at none.
        queueRun(R().withLog("\n? x").noAux().noDvi().exitWith(3));
        EXPECT_EQ(compile(), 1);
        EXPECT_EQ(compilerRunCount(compiler), 1);
    }
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

TEST_P(CompileTest, MissingLogOrAuxIsAFileError) {
    queueRun(R().noAux());
    EXPECT_EQ(compileError().fileName(), beside(".aux"));

    bar.processes.install(toolPath("platex"), [this](const ProcessRequest&) {
        bar.files.remove(beside(".log"));
        bar.files.write(beside(".dvi"), "dvi");
        return 0;
    });
    const FileError error = compileError();
    EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
    EXPECT_EQ(fileErrorText(error), "paper.log が見つかりませんでした。");  // the log by its bare name
}

TEST_P(CompileTest, DocumentDirectoryThatIsGoneStopsBeforeAnyTool) {
    bar.files.removeDirectory(docDir);
    const FileError error = compileError();
    EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
    EXPECT_EQ(fileErrorText(error), docDir + " が見つかりませんでした。");
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST_P(CompileTest, StemWithBlanksReachesTheToolsAsOneWord) {
    state.documentStem = "my paper";
    installTool(toolPath(bibtexName()), 0);
    installTool(toolPath("mendex"), 0);
    queueRun(R().withLog("No file my paper.bbl.\n").withAux("").withIdx());
    queueRun(R());
    queueRun(R());
    EXPECT_EQ(compile(), 1);
    const auto& started = bar.processes.started();
    ASSERT_EQ(started.size(), 5u);
    EXPECT_EQ(started[0].commandLine, "platex \"my paper\"");
    EXPECT_EQ(started[0].arguments, (std::vector<std::string>{"platex", "my paper"}));
    EXPECT_EQ(started[1].arguments, (std::vector<std::string>{bibtexName(), "my paper"}));
    EXPECT_EQ(started[3].arguments, (std::vector<std::string>{"mendex", "-s", "myindex", "my paper"}));
}

// The closing runs, row by row: the toc before and now, the label flag, and
// how many compiler runs the call makes in all. Every closing run changes
// the toc, so run B is always followed by run A here, and run A by nothing.
TEST_P(CompileTest, ClosingRunsFollowTheTocAndTheLabelFlag) {
    struct Row {
        const char* name;
        std::optional<std::string> tocBefore;
        std::optional<std::string> tocNow;
        bool labels;
        int compilerRuns;
    };
    const Row rows[] = {
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
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PipelineWorld w(windows);
        w.installCompiler();
        if (row.tocBefore) w.bar.files.write(w.beside(".toc"), *row.tocBefore);
        if (!row.tocNow) {
            // The runs remove the table of contents.
            w.bar.processes.install(w.toolPath("platex"), [&w](const ProcessRequest&) {
                const int code = w.playCompilerRun().exitCode;
                w.bar.files.remove(w.beside(".toc"));
                return code;
            });
        }
        R first = R().withAux("");
        first.toc = row.tocNow;
        if (row.labels) first.log = kLabels;
        w.queueRun(first);
        R closing;
        if (row.tocNow) closing.toc = *row.tocNow + " changed";
        w.queueRun(closing);
        w.queueRun(closing);
        EXPECT_EQ(compileDocument(w.state, w.bar.services), 1);
        EXPECT_EQ(w.compilerRunCount(), row.compilerRuns);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, CompileTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

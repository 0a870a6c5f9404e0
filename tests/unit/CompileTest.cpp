// The compile: what it reads from the log and the auxiliary files, which
// tools it runs in which order, and the first TeX error of a log.
#include <gtest/gtest.h>

#include "TexWorld.h"
#include "build/CompileDocument.h"
#include "build/FirstTexError.h"
#include "build/LogAnalysis.h"

namespace kestro::fake {
namespace {

using R = CompilerRun;
using Texts = std::vector<std::string>;
constexpr CodePage kUtf8 = CodePage::Utf8, kCp932 = CodePage::Cp932;

TEST(LogAnalysis, AnswersRequestsAndWarningsAreFoundOnlyWhereTheyStand) {
    EXPECT_TRUE(isUserStop(kUtf8, "l.3 \\foo\n? X"));
    EXPECT_FALSE(isUserStop(kUtf8, "? x at the start\n?x\n? q\n\r? x"));
    EXPECT_TRUE(reportsMissingBbl(kUtf8, "No file \xE8\xAB\x96.bbl.\n", "\xE8\xAB\x96"));
    EXPECT_FALSE(reportsMissingBbl(kUtf8, "No file paper.bbl.\n", "pap"));
    EXPECT_FALSE(auxNamesBibdata(kUtf8, "\\BibData{refs}"));
    EXPECT_FALSE(logHasLabelChange(kUtf8, "label(s)"));
    for (const char* request : {
             "Package hyperref Warning: Rerun to get /PageLabels entry.",
             "Package rerunfilecheck Warning: File `long-name.hd' has changed. Re\nrun.",
             "(natbib)                Rerun to\r\n get citations correct.",
             "LaTeX Warning: Rerun to correct the page numbers.",
             "Package longtable Warning: Table widths have changed. Rerun LaTeX.",
         }) {
        EXPECT_TRUE(logAsksForRerun(kUtf8, request)) << request;
    }
    EXPECT_FALSE(logAsksForRerun(kUtf8, "Package: rerunfilecheck 2022-07-10 v1.10 Rerun checks for auxiliary files"));
    // Never from the second byte of a CP932 character: 0x83 0x4C ends in
    // "L", 表 in a backslash, 0x83 0x72 in "r" and 0x83 0x68 in "h".
    EXPECT_FALSE(logHasLabelChange(kCp932, "\x83" "Label(s)"));
    EXPECT_TRUE(logHasLabelChange(kCp932, "\x83\x4C" "Label(s)"));
    EXPECT_FALSE(auxNamesBibdata(kCp932, "\x95\x5C" "bibdata"));
    EXPECT_FALSE(logAsksForRerun(kCp932, "\x83" "rerun to get"));
    EXPECT_FALSE(logAsksForRerun(kCp932, "\x83" "has changed. Rerun."));
}

// One compile per row, in a fresh world: the files beside the document
// before, the tools' exit codes (-1: not installed), what each compiler run
// leaves, what the call returns and which tools it runs ("bib": the
// bibliography tool), and whether the warning notice came.
struct Scenario {
    const char* name;
    std::vector<std::pair<std::string, std::string>> before;
    int bibtexCode;
    int indexCode;
    std::vector<R> runs;
    int result;
    Texts programs;
    bool warning = false;
};

const std::string kLabels = "Label(s) may have changed.\n";
const Scenario kScenarios[] = {
    {"DVI left untouched", {{".dvi", "old"}}, -1, -1, {R().noDvi()}, 0, {"platex"}},
    {"DVI newer by a nanosecond", {{".dvi", "old"}}, -1, -1, {R()}, 1, {"platex"}},
    {"user stop x", {}, 0, 0, {R().withLog("! Undefined.\n? x\n").withAux("\\bibdata{r}").withIdx().exitWith(1)}, 0,
     {"platex"}},
    {"user stop in a CR LF log", {}, 0, 0, {R().withLog("! Undefined.\r\n? X\r\n").withIdx()}, 0, {"platex"}},
    {"missing bbl", {}, 0, -1, {R().withLog("No file paper.bbl.\n").withAux("\\citation{a}"), R()}, 1,
     {"platex", "bib", "platex"}},
    {"missing bbl of another stem", {}, 0, -1, {R().withLog("No file other.bbl.\n")}, 1, {"platex"}},
    {"bibdata with a current bbl", {{".bbl", "b"}, {".aux", "\\bibdata{r}"}}, 0, -1,
     {R().withLog("").withAux("\\bibdata{r}"), R()}, 1, {"platex", "bib", "platex"}},
    {"failing bibliography tool: no re-run", {}, 2, 0,
     {R().withLog("No file paper.bbl.\n").withAux("\\bibdata{r}").withIdx(), R()}, 1, {"platex", "bib", "mendex", "platex"}},
    {"changed aux that existed before", {{".aux", "a"}}, -1, -1, {R().withAux("b"), R()}, 1, {"platex", "platex"}},
    {"unchanged aux", {{".aux", "a"}}, -1, -1, {R().withAux("a")}, 1, {"platex"}},
    {"new aux", {}, -1, -1, {R().withAux("\\newlabel{a}{{1}{1}}")}, 1, {"platex"}},
    {"user stop in the bibliography re-run", {}, 0, 0,
     {R().withLog("No file paper.bbl.\n").withIdx(), R().withLog("\n? x\n").noAux()}, 0, {"platex", "bib", "platex"}},
    // A failed re-run is not examined; the stop shows in the final read.
    {"failed bibliography re-run", {}, 0, -1,
     {R().withLog("No file paper.bbl.\n"), R().withLog("\n? x\n").noAux().exitWith(1)}, 0, {"platex", "bib", "platex"}},
    {"index file not rewritten", {{".idx", "old"}}, -1, 0, {R()}, 1, {"platex"}},
    {"index file rewritten", {{".idx", "old"}}, -1, 0, {R().withIdx(), R()}, 1, {"platex", "mendex", "platex"}},
    {"index file new", {}, -1, 0, {R().withIdx(), R()}, 1, {"platex", "mendex", "platex"}},
    {"user stop in the index re-run", {}, -1, 0, {R().withIdx(), R().withLog("\n? X\n").noAux().withToc("t")}, 0,
     {"platex", "mendex", "platex"}},
    {"failing index tool: no re-run", {}, -1, 1, {R().withIdx()}, 1, {"platex", "mendex"}},
    {"five compiler runs at most", {{".toc", "toc 0"}}, 0, 0,
     {R().withLog("No file paper.bbl.\n").withAux("\\bibdata{r}").withToc("toc 1").withIdx(),
      R().withLog("").noAux().withToc("toc 2"), R().withLog(kLabels).noAux().withToc("toc 3"),
      R().withLog("").noAux().withToc("toc 4"), R().withLog("").noAux().withToc("toc 5")},
     1, {"platex", "bib", "platex", "mendex", "platex", "platex", "platex"}},
    {"LaTeX warning in the final log", {}, -1, -1, {R().withLog("LaTeX Warning: Reference `x' undefined.\n")}, 1,
     {"platex"}, true},
    {"font warnings alone", {}, -1, -1, {R().withLog("LaTeX Font Warning: Font shape undefined\n")}, 1, {"platex"}},
    {"warning of the last closing run only", {}, -1, -1, {R().withLog(kLabels + "LaTeX Warning: x\n"), R()}, 1,
     {"platex", "platex"}},
    {"log ends at its first zero byte", {}, -1, -1, {R().withLog(std::string("clean\n\0\n? x\nLaTeX Warning", 25))}, 1,
     {"platex"}},
    {"re-run request of a package", {}, -1, -1, {R().withLog("Package hyperref Warning: Rerun to get /PageLabels.\n"), R()},
     1, {"platex", "platex"}},
    {"failing closing run", {}, -1, -1, {R().withToc("t"), R().withLog("LaTeX Warning: x\n").noAux().exitWith(1)}, 0,
     {"platex", "platex"}},
    {"user stop in the final log", {}, -1, 0, {R().withIdx(), R().withLog(kLabels + "? x\n").noAux().exitWith(1)}, 0,
     {"platex", "mendex", "platex"}},
};

TEST_P(TexTest, EveryScenarioRunsItsToolsAndEndsAsItShould) {
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        TexWorld w(windows);
        for (const auto& [extension, text] : s.before) w.bar.files.write(w.beside(extension), text);
        if (s.bibtexCode >= 0) w.installTool(w.tool(w.bibtex), s.bibtexCode);
        if (s.indexCode >= 0) w.installTool(w.tool("mendex"), s.indexCode);
        for (const R& run : s.runs) w.queue(run);
        EXPECT_EQ(compileDocument(w.state, w.bar.services), s.result);
        Texts programs = s.programs;
        for (std::string& p : programs) p = p == "bib" ? w.bibtex : p;
        EXPECT_EQ(w.programsRun(), programs);
        EXPECT_TRUE(w.runs.empty());
        // A failing tool has its own box, tested with its step.
        if (s.bibtexCode <= 0 && s.indexCode <= 0) EXPECT_EQ(w.bar.ui.boxes.size(), s.warning ? 1u : 0u);
        if (s.warning) EXPECT_EQ(w.bar.ui.boxes.at(0).caption, "Warning!!");
    }
}

TEST_P(TexTest, PlainCompilersRunOnceWhateverTheyLeave) {
    for (const char* compiler : {"ptex", "PLATEX"}) {
        state.texCommand = compiler;
        installCompiler(tool(compiler));
        queue(R().withLog("\n? x").noAux().noDvi().exitWith(3));
        EXPECT_EQ(compileDocument(state, bar.services), 1) << compiler;
    }
    EXPECT_EQ(programsRun(), (Texts{"ptex", "PLATEX"}));
}

TEST(FirstTexError, FindsTheFileOpenAtTheFirstErrorAndItsLine) {
    const std::string longDir = "/usr/share/texlive/texmf-dist/tex/latex/some-package-with-a-rather-long-name/sub/dir/";
    const std::tuple<CodePage, std::string, std::optional<TexErrorPlace>> cases[] = {
        {kUtf8,
         "(./paper.tex\n(/usr/share/jarticle.cls\n(/usr/share/jsize10.clo)) (./paper.aux)\n(./chap1.tex\n"
         "(Font)   using `JY1/mc/m/n'.\nOverfull \\hbox (1.2pt too wide) in paragraph ! not here\n"
         "! Undefined control sequence.\nl.7 \\undefinedcs\n\n! Second error.\nl.9 x\n",
         TexErrorPlace{"./chap1.tex", 7, "Undefined control sequence."}},
        {kUtf8, "(\"./my paper.tex\" (./chap1.tex)\r\n! LaTeX Error: File `x.sty' not found.\r\n\r\nl.3 \\usepackage{x}\r\n",
         TexErrorPlace{"./my paper.tex", 3, "LaTeX Error: File `x.sty' not found."}},
        {kUtf8, "(./paper.tex\n(" + longDir.substr(0, 78) + "\n" + longDir.substr(78) + "part.sty\n! Missing $.\nl.12 a\n",
         TexErrorPlace{longDir + "part.sty", 12, "Missing $."}},
        {kCp932, "(./\x95\x5c\x83\x5c.tex)\n! Emergency stop.\n<*> paper\n! Again.\nl.1 x\n",
         TexErrorPlace{"", std::nullopt, "Emergency stop."}},
        {kUtf8, "(./paper.tex [1] )\nOutput written on paper.dvi (1 page).\n", std::nullopt},
    };
    for (const auto& [cp, log, expected] : cases) {
        SCOPED_TRACE(log);
        const std::optional<TexErrorPlace> error = firstTexError(cp, log);
        ASSERT_EQ(error.has_value(), expected.has_value());
        if (!error) continue;
        EXPECT_EQ(error->file, expected->file);
        EXPECT_EQ(error->line, expected->line);
        EXPECT_EQ(error->message, expected->message);
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, TexTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::fake

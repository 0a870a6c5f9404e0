// The compile and its tools: what it reads from the log and the auxiliary
// files, which tools it runs in which order, the first TeX error of a log;
// the program lookup, the tool steps and the compiler with their recovery,
// choosing a tool by hand, and the words each platform's bar names them in.
#include <gtest/gtest.h>

#include <set>

#include "FakePlatform.h"
#include "app/BarWindow.h"
#include "app/ControlTable.h"
#include "document/EditorAndPrompt.h"
#include "pdf/PdfOutput.h"
#include "pipeline/Bibliography.h"
#include "pipeline/CompileDocument.h"
#include "pipeline/CompilerInputs.h"
#include "pipeline/FirstTexError.h"
#include "pipeline/IndexStep.h"
#include "pipeline/LatexWarnings.h"
#include "pipeline/Launcher.h"
#include "pipeline/LogAnalysis.h"
#include "pipeline/ProgramLookup.h"
#include "pipeline/ToolSearch.h"
#include "dialogs/ToolSelection.h"
#include "pdf/PdfOutput.h"

namespace kestro::fake {
namespace {

using R = CompilerRun;
constexpr CodePage kUtf8 = CodePage::Utf8, kCp932 = CodePage::Cp932;

TEST(LogAnalysis, AnswersRequestsAndWarningsAreFoundOnlyWhereTheyStand) {
    EXPECT_TRUE(isUserStop(kUtf8, "l.3 \\foo\n? X"));
    EXPECT_TRUE(isUserStop(kUtf8, "\n? x marks the spot\n./paper.tex:3: Undefined control sequence.\n? x\r\n"));
    EXPECT_FALSE(isUserStop(kUtf8, "? x at the start\n?x\n? q\n\r? x\n? xy\n? X marks the spot"));
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
    EXPECT_FALSE(logAsksForRerun(kCp932, "\x83" "rerun to get") || logAsksForRerun(kCp932, "\x83" "has changed. Rerun."));
}

// One compile per row: the files there before, the tools' exit codes (-1:
// not installed; they write "written" to the .bbl and the .ind), the
// compiler runs; the result, the tools run ("bib": the bibliography tool),
// whether the warning notice came, and whether RerunOnChange is on.
struct Scenario {
    const char* name;
    std::vector<std::pair<std::string, std::string>> before;
    int bibtexCode;
    int indexCode;
    std::vector<R> runs;
    int result;
    Texts programs;
    bool warning = false;
    bool onChange = false;
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
    {"bibdata with a current bbl", {{".bbl", "written"}, {".aux", "\\bibdata{r}"}}, 0, -1,
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
    {"on change: the bbl and the ind as the compiler read them", {{".bbl", "written"}, {".ind", "written"}}, 0, 0,
     {R().withLog("").withAux("\\bibdata{r}").withIdx()}, 1, {"platex", "bib", "mendex"}, false, true},
    {"on change: a bbl that was missing and a changed ind", {{".ind", "old"}}, 0, 0,
     {R().withLog("No file paper.bbl.\n").withIdx(), R(), R()}, 1, {"platex", "bib", "platex", "mendex", "platex"}, false,
     true},
    {"on change: a changed bbl, and the closing runs stay", {{".bbl", "old"}, {".aux", "\\bibdata{r}"}}, 0, -1,
     {R().withLog("").withAux("\\bibdata{r}"), R().withLog(kLabels), R()}, 1, {"platex", "bib", "platex", "platex"},
     false, true},
};

TEST_P(TexTest, EveryScenarioRunsItsToolsAndEndsAsItShould) {
    for (const Scenario& s : kScenarios) {
        SCOPED_TRACE(s.name);
        TexWorld w(windows);
        for (const auto& [extension, text] : s.before) w.bar.files.write(w.beside(extension), text);
        if (s.bibtexCode >= 0) w.installTool(w.tool(w.bibtex), s.bibtexCode, ".bbl");
        if (s.indexCode >= 0) w.installTool(w.tool("mendex"), s.indexCode, ".ind");
        w.state.rerunOnChange = s.onChange;
        for (const R& run : s.runs) w.queue(run);
        EXPECT_EQ(compileDocument(w.state, w.bar.services), s.result);
        // A compile that succeeded gave up nowhere.
        if (s.result == 1) EXPECT_EQ(w.bar.services.road.stop(), "");
        Texts programs = s.programs;
        for (std::string& p : programs) p = p == "bib" ? w.bibtex : p;
        EXPECT_EQ(w.programsRun(), programs);
        EXPECT_TRUE(w.runs.empty());
        // A failing tool has its own box, tested with its step.
        if (s.bibtexCode <= 0 && s.indexCode <= 0) EXPECT_EQ(w.bar.ui.boxes.size(), s.warning ? 1u : 0u);
        if (s.warning) EXPECT_EQ(w.bar.ui.boxes.at(0).caption, "Warning!!");
    }
}

// The options text goes between the compiler and the stem, split into
// words; without it the stem stands alone.
TEST_P(TexTest, PlainCompilersRunOnceWhateverTheyLeave) {
    for (const char* compiler : {"ptex", "PLATEX"}) {
        state.texCommand = compiler;
        installCompiler(tool(compiler));
        queue(R().withLog("\n? x").noAux().noDvi().exitWith(3));
        EXPECT_EQ(compileDocument(state, bar.services), 1) << compiler;
        state.texOptions = "-kanji=sjis  -ini";
    }
    EXPECT_EQ(bar.processes.commandLines(), (Texts{"ptex paper", "PLATEX -kanji=sjis  -ini paper"}));
    state.texCommand = "etex";  // nowhere to be found, and nobody to ask
    bar.ui.canChoose = false;
    EXPECT_EQ(compileDocument(state, bar.services), 0);
}

// The names that exist decide where a name with blanks or parentheses ends;
// with -file-line-error the error line names file and line itself.
TEST(FirstTexError, FindsTheFileOpenAtTheFirstErrorAndItsLine) {
    const std::string longDir = "/usr/share/texlive/texmf-dist/tex/latex/some-package-with-a-rather-long-name/sub/dir/";
    const std::set<std::string> existing = {"./my doc.tex", "./sub/chap(1).tex", "./a (draft)"};
    const LogFileExists exists = [&](const std::string& name) { return existing.contains(name); };
    const std::tuple<CodePage, std::string, std::optional<LogPlace>> cases[] = {
        {kUtf8,
         "(./paper.tex\n(/usr/share/jarticle.cls\n(/usr/share/jsize10.clo)) (./paper.aux)\n(./chap1.tex\n"
         "(Font)   using `JY1/mc/m/n'.\nOverfull \\hbox (1.2pt too wide) in paragraph ! not here\n"
         "! Undefined control sequence.\nl.7 \\undefinedcs\n\n! Second error.\nl.9 x\n",
         LogPlace{"./chap1.tex", 7, "Undefined control sequence."}},
        {kUtf8, "(\"./my paper.tex\" (./chap1.tex)\r\n! LaTeX Error: File `x.sty' not found.\r\n\r\nl.3 \\usepackage{x}\r\n",
         LogPlace{"./my paper.tex", 3, "LaTeX Error: File `x.sty' not found."}},
        {kUtf8, "(./paper.tex\n(" + longDir.substr(0, 78) + "\n" + longDir.substr(78) + "part.sty\n! Missing $.\nl.12 a\n",
         LogPlace{longDir + "part.sty", 12, "Missing $."}},
        {kCp932, "(./\x95\x5c\x83\x5c.tex)\n! Emergency stop.\n<*> paper\n! Again.\nl.1 x\n",
         LogPlace{"", std::nullopt, "Emergency stop."}},
        {kUtf8, "(./paper.tex [1] )\nOutput written on paper.dvi (1 page).\n", std::nullopt},
        {kUtf8, "(./my doc.tex (./sub/chap(1).tex) (./a (draft)\n! Undefined control sequence.\nl.2 x\n",
         LogPlace{"./a (draft)", 2, "Undefined control sequence."}},
        {kUtf8, "(./my doc.tex (./sub/chap(1).tex\n! Undefined control sequence.\nl.2 x\n",
         LogPlace{"./sub/chap(1).tex", 2, "Undefined control sequence."}},
        // The empty answer to the file name prompt stops TeX, and the
        // context of that stop names the line.
        {kUtf8, "(./my doc.tex\n! LaTeX Error: File `comment.sty' not found.\n\nEnter file name: \n"
                "./my doc.tex:4: Emergency stop.\n<read *> \n\nl.4 \\begin\n",
         LogPlace{"./my doc.tex", 4, "LaTeX Error: File `comment.sty' not found."}},
        {kUtf8, "(./my doc.tex (./sub/my chap.tex\n./sub/my chap.tex:12: Undefined control sequence.\nl.12 \\x\n",
         LogPlace{"./sub/my chap.tex", 12, "Undefined control sequence."}},
        // A line a byte short of TeX's width ends the name; an open group that
        // is no file is passed over.
        {kUtf8, "(./" + std::string(75, 'n') + "\nwords (see the transcript\n! X.\nl.1 x\n", LogPlace{"./" + std::string(75, 'n'), 1, "X."}},
    };
    for (const auto& [cp, log, expected] : cases) {
        SCOPED_TRACE(log);
        const std::optional<LogPlace> error = firstTexError(cp, log, exists);
        ASSERT_EQ(error.has_value(), expected.has_value());
        if (error) EXPECT_EQ(std::tie(error->file, error->line, error->message),
                             std::tie(expected->file, expected->line, expected->message));
    }
    EXPECT_EQ(firstTexError(kUtf8, "(./my doc.tex\n! X.\n")->file, "./my");  // nothing to ask: as far as a blank
    EXPECT_EQ(firstTexError(kUtf8, "! X.\n")->message, "X.");
}

// One per warning, in order: its lines joined, the line it names, the file
// open at it; the font warnings and other packages' are not LaTeX's.
TEST(LatexWarnings, EachWarningWithItsFileLineAndWholeMessage) {
    const std::string log =
        "(./my doc.tex (./my doc.aux\n\nLaTeX Warning: Label `a' multiply defined.\n\n)\n"
        "LaTeX Font Warning: Font shape `OT1/cmr/bx/sc' undefined\nPackage natbib Warning: Citation `x' undefined\n"
        "(./sub/chap(1).tex\n\nLaTeX Warning: Citation `a-rather-long-key-that-makes-the-line-full' on page 1 \n"
        "undefined on input line 12.\n\n\nLaTeX Warning: You have requested release `2099/01/01' of LaTeX,\n"
        "               but only release `2022/11/01' is available on input line 3.\n\n)\n"
        "LaTeX Warning: There were undefined references.\r\n";
    const std::set<std::string> existing = {"./my doc.tex", "./my doc.aux", "./sub/chap(1).tex"};
    const std::vector<LogPlace> warnings =
        latexWarnings(kUtf8, log, [&](const std::string& name) { return existing.contains(name); });
    const std::vector<std::tuple<std::string, std::optional<long>, std::string>> expected = {
        {"./my doc.aux", std::nullopt, "Label `a' multiply defined."},
        {"./sub/chap(1).tex", 12, "Citation `a-rather-long-key-that-makes-the-line-full' on page 1 undefined on input line 12."},
        {"./sub/chap(1).tex", 3, "You have requested release `2099/01/01' of LaTeX, but only release `2022/11/01' is available on input line 3."},
        {"./my doc.tex", std::nullopt, "There were undefined references."},
    };
    std::string endless = "LaTeX Warning: w\n", cut = "w";
    for (int line = 1; line < 30; ++line) endless += " x\n", cut += line < 20 ? " x" : "";
    EXPECT_EQ(latexWarnings(kUtf8, endless, {}).at(0).message, cut);  // at most twenty lines
    ASSERT_EQ(warnings.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(std::tie(warnings[i].file, warnings[i].line, warnings[i].message),
                  std::tie(std::get<0>(expected[i]), std::get<1>(expected[i]), std::get<2>(expected[i])));
    }
}

// What a watch builds again for: what the compiler read, from -recorder's
// file when there is one, else from the log; never what the road writes.
TEST(CompilerInputs, ReadFilesWithoutTheRoadsOwnOutputs) {
    const std::string log =
        "(./my doc.tex (/usr/share/texlive/article.cls) (./my doc.aux) (./chap.tex) (./my doc.bbl)\n"
        "\\openout1 = `\"my doc.aux\"'.\n(./chap.tex) (./my doc.toc)\n\\openout2 = `my doc.toc'.\n";
    const std::set<std::string> existing = {"./my doc.tex", "./my doc.aux", "./my doc.bbl", "./my doc.toc"};
    const LogFileExists exists = [&](const std::string& name) { return existing.contains(name); };
    EXPECT_EQ(compilerInputs(kUtf8, log, std::nullopt, "my doc", exists),
              (Texts{"my doc.tex", "/usr/share/texlive/article.cls", "chap.tex"}));
    const std::string recorder = "PWD /doc\r\nINPUT /etc/texmf.cnf\r\nINPUT my doc.tex\r\nOUTPUT my doc.aux\r\n"
                                 "INPUT ./sub/in put.tex\r\nINPUT my doc.aux\r\nINPUT my doc.ind\r\nINPUT my doc.tex\r\n";
    EXPECT_EQ(compilerInputs(kUtf8, log, recorder, "my doc", exists),
              (Texts{"/etc/texmf.cnf", "my doc.tex", "sub/in put.tex"}));
}

// The words for what only one platform has, as the operations and the
// windows show them: on Windows the templates' and messages' own, byte for
// byte; on Linux the same texts with the Linux counterparts in their place.
TEST_P(TexTest, TheWordsNameWhatThePlatformHas) {
    Services& s = bar.services;
    BarState none;
    openInEditor(none, s);
    bar.ui.answers.assign(6, Answer::Cancel);
    changeTexCompiler(state, s);
    for (const auto select : {selectBibtex, selectDvipdf, selectIndexTool}) select(state, s);
    for (const std::string& name : {bibtex, std::string("mendex")}) installTool(candidate(name), 1);
    runBibliography(state, s), runIndex(state, s);
    for (const std::string& name : {bibtex, std::string("mendex")}) installTool(tool(name), 2);
    runBibliography(state, s), runIndex(state, s);
    state.texCommand = "nosuch";
    compilerFallback(state, s);
    bar.files.write(beside(".dvi"), "dvi");
    installTool(tool("dvipdfmx"), 1);
    state.acrSetting = state.paperSizeSticky = 1;
    convertDviToPdf(state, s);
    bar.ui.canChoose = false;
    selectBibtex(state, s);
    Texts shown = bar.ui.boxTexts();
    shown.insert(shown.end(), {BarWindow::tooltipText(bar.rules, 1009), captionText(bar.rules, dialogTemplate(kBarTemplate))});
    // The version, the edition, the terminal button, the bibliography button, the paper dialog's pointer.
    for (const auto& [form, at] : {std::pair{kAboutTemplate, 1}, {kAboutTemplate, 4}, {kBarTemplate, 5}, {kSettingsTemplate, 3}, {kPaperSizeTemplate, 6}}) shown.push_back(controlText(bar.rules, dialogTemplate(form).controls[at]));
    Texts expected = {
        "好きな ｴﾃﾞｨﾀ を登録できます。(ﾃﾞﾌｫﾙﾄは ﾒﾓ帳 Notepad です。)\n「設定」->「ｴﾃﾞｨﾀ の登録」で選択して下さい。",
        "TeX の compiler を変更します。OK ボタンを押せば実行ファイルが選択できます。\nキャンセルすれば、元の platex に戻ります。（パス名無しの \"platex\" のみ）\n他の TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。",
        "BibTeX が実効できない時は、実行ファイルが特定できていない可能性があります。\n選択により、フルパスで jbibtex.exe を特定します。\nキャンセルすれば、デフォルトに戻ります。（パス名無しの \"jbibtex\" のみ）\njBibTeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。",
        "もし PDF が作れないときは、OK ボタンを押して実行ファイル dvipdfmx.exe を見つけて選択して下さい。\n恐らく、\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。\nキャンセルすれば、パス名無しの dvipdfmx のみに戻ります。",
        "MakeIndex が実効できない時は、実行ファイルが特定できていない可能性があります。\n選択により、フルパスで mendex.exe を特定します。\nキャンセルすれば、デフォルトに戻ります。（パス名無しの \"mendex\" のみ）",
        "BibTeX (\"jbibtex.exe\") は「設定」→「BibTeX の選択」からも選択できます。\nそれでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
        "MakeIndex (\"mendex.exe\") は「設定」の「makeIndex の選択」からも選択できます。\nそれでも駄目なら「コマンドプロンプト」を使って、直接、実行して下さい。",
        "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\nDVI ファイルの参考文献の欄も確かめてみて下さい。",
        "何かエラーがあります。実行ファイル \"mendex.exe\" を \"makeindex.exe\" にしてしまったとか。",
        "TeX のコンパイラー \"nosuch\" が実行できません。パスが通ってない可能性があります。\nもし TeX をインストールしているなら、自分で選択してください。\nキャンセルすれば、デフォルトに戻ります。（パス名無しの \"platex\" のみ）\nTeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" などにあるでしょう。",
        "TeX のコンパイラーは\n「設定」→「TeX の変更」からも選択できます。",
        "PDF file が作れません！\n もし Acrobat (Adobe Reader) が起動中なら \n閉じてから、「OK」ボタンを下さい。",
        "PDF file が作れません！",
        "ここでは実行ファイルを選択できません。\n「設定」で「jBibTeX の選択」をして、実行ファイルを選択して下さい。",
        "\nコマンドプロンプトを開く", "Pelvane: Drag & Drop TeX file", "Pelvane Version 3.0", "Windows 版", "コマンド\nプロンプト",
        "jBibTeX の選択", "メニューの [TeX]→[PDF作成サイズ] でも変更可能",
    };
    const std::pair<std::string, std::string> linuxWords[] = {
        {"Pelvane", "Kestro"}, {"Windows", "Linux"}, {"コマンド\nプロンプト", "端末"}, {"コマンドプロンプト", "端末"}, {".exe", ""},
        {"jbibtex", "pbibtex"}, {"jBibTeX", "pBibTeX"}, {"\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\"", "\"/usr/local/texlive/*/bin/*\", \"/usr/bin\""},
        {"ﾒﾓ帳 Notepad", "ﾃﾞｽｸﾄｯﾌﾟ の既定のｱﾌﾟﾘ"}, {"ｴﾃﾞｨﾀ の登録", "ｴﾃﾞｨﾀ の変更"}, {"Acrobat (Adobe Reader)", "PDF ビューア"},
        {"メニューの [TeX]→[PDF作成サイズ]", "[設定]→[PDF 用紙設定]"},
    };
    for (std::string& text : expected) {
        for (const auto& [word, counterpart] : linuxWords) {
            for (std::size_t at = 0; !windows && (at = text.find(word, at)) != std::string::npos; at += counterpart.size()) text.replace(at, word.size(), counterpart);
        }
    }
    EXPECT_EQ(shown, expected);
}
INSTANTIATE_TEST_SUITE_P(Rules, TexTest, ::testing::Bool(), rulesName);

const std::string kHyo = "\x95\x5C";  // 表: its second byte is a backslash
const Texts kUntried = {"<not checked>"};

// One lookup per row: Windows or not, the startable files, the program and
// PATH, what is found and (unless kUntried) every candidate asked about.
TEST(ProgramLookup, EveryRowFindsWhatItShouldAfterTheCandidatesItShould) {
    const std::string k259 = "C:\\" + std::string(249, 'f'), k260 = "C:\\" + std::string(250, 'g');
    const std::tuple<bool, std::set<std::string>, std::string, std::string, std::optional<std::string>, Texts> rows[] = {
        {true, {".\\platex.exe", "platex.exe", "bin\\platex.exe", "\\bin\\platex.exe", "C:bin\\platex.exe", "\\\\s\\t\\platex.exe"},
         "platex", "bin;.;\\bin;C:bin;\\\\s\\t", "\\\\s\\t\\platex.exe", {"\\\\s\\t\\platex.com", "\\\\s\\t\\platex.exe"}},
        {true, {"C:\\b\\platex.exe"}, "platex", "C:\\a;;C:\\b\\", "C:\\b\\platex.exe",
         {"C:\\a\\platex.com", "C:\\a\\platex.exe", "C:\\a\\platex.bat", "C:\\a\\platex.cmd", "C:\\b\\platex.com",
          "C:\\b\\platex.exe"}},
        {true, {"C:\\t\\my.tool.exe"}, "my.tool", "C:\\t", std::nullopt, {"C:\\t\\my.tool"}},
        {true, {"A:\\platex.exe"}, "platex", "A:\\", "A:\\platex.exe", kUntried},
        {true, {"c:\\w.d\\platex.exe"}, "c:\\w.d\\platex", "", "c:\\w.d\\platex.exe", kUntried},
        {true, {"C:platex.exe"}, "C:platex", "", "C:platex.exe", kUntried},
        {true, {"C:\\tex\\bin\\platex.exe"}, "bin/platex", "C:\\tex", std::nullopt,
         {"bin/platex.com", "bin/platex.exe", "bin/platex.bat", "bin/platex.cmd"}},
        {true, {"C:\\tex\\bin\\platex.exe"}, "bin\\platex", "C:\\tex", "C:\\tex\\bin\\platex.exe", kUntried},
        {true, {k259 + "\\platex.exe"}, "platex", k259, k259 + "\\platex.exe", kUntried},
        {true, {"C:\\later\\platex.exe"}, "platex", k260 + ";C:\\later", std::nullopt, kUntried},
        {true, {"C:\\" + kHyo + "\\platex.exe"}, "platex", "C:\\" + kHyo, "C:\\" + kHyo + "\\platex.exe", kUntried},
        {true, {".\\.exe"}, "", "", std::nullopt, {}},
        {false, {"platex", "./platex", "bin/platex", "/usr/bin/platex"}, "platex", ":.:bin::/usr/bin", "/usr/bin/platex",
         {"/usr/bin/platex"}},
        {false, {"/usr/bin/platex"}, "/opt/tex/platex", "/usr/bin", std::nullopt, {"/opt/tex/platex"}},
        {false, {"/usr/bin/platex.exe"}, "platex", "/usr/bin", std::nullopt, kUntried},
    };
    for (const auto& [windows, files, program, path, found, tried] : rows) {
        SCOPED_TRACE(program + " on " + path);
        Texts asked;
        const auto startable = [&asked, &files = files](const std::string& candidate) {
            asked.push_back(candidate);
            return files.count(candidate) > 0;
        };
        const PlatformRules rules = windows ? PlatformRules::windows() : PlatformRules::posix();
        EXPECT_EQ(lookupProgram(rules, program, LookupEnvironment{startable, path}), found);
        if (tried != kUntried) EXPECT_EQ(asked, tried);
    }
}

TEST(Launcher, StemsLikeOptionsAreNamesOnlyStartedRunsAreRecordedAndBatchFilesAreQuotedOrRefused) {
    FakeBar bar(PlatformRules::posix());
    bar.processes.installExiting("/t/mendex", 0);
    for (const std::string stem : {"-x", "a-b"}) runAndWait(bar.services, "/t/mendex", {optionsPart("-s my"), stemPart(stem)});
    EXPECT_EQ(bar.processes.started()[0].arguments, (Texts{"/t/mendex", "-s", "my", "./-x"}));
    EXPECT_EQ(bar.processes.started()[1].arguments, (Texts{"/t/mendex", "-s", "my", "a-b"}));
    // 4294967295 as the platform hands it over reads as a tool not started.
    bar.processes.installExiting("/t/tool", static_cast<int>(0xFFFFFFFFu));
    EXPECT_EQ(runAndWait(bar.services, "/t/tool", {}), -1);
    EXPECT_EQ(runAndWait(bar.services, "/t/missing", {}), -1);
    EXPECT_EQ(bar.services.road.runs().size(), 2u);
    // cmd.exe reads a batch file's command line: the file itself and every
    // word are quoted, and a word that quotes do not protect is refused
    // before anything starts; the step then ends, without search or choice.
    TexWorld w(true);
    for (const char* tool : {"mendex.BAT", "ptex.cmd", "dvipdfmx.bat. "}) w.installTool(w.toolDir + tool, 0);
    EXPECT_EQ(runAndWait(w.bar.services, "ptex", {optionsPart("-s \"my style\""), stemPart("a&b(c)")}), 0);
    EXPECT_EQ(w.bar.processes.commandLines(), Texts{"\"C:\\texlive\\bin\\ptex.cmd\" \"-s\" \"my style\" \"a&b(c)\""});
    for (const char* stem : {"a\"b", "!ab", "50%", "a\rb"}) EXPECT_EQ(runAndWait(w.bar.services, "ptex", {stemPart(stem)}), kStartRefused);
    const std::string refusal = w.bar.ui.boxTexts().at(3);
    EXPECT_TRUE(refusal.find("\"C:\\texlive\\bin\\ptex.cmd\"") != std::string::npos && refusal.find("「改行」") != std::string::npos);
    EXPECT_NE(w.bar.ui.boxTexts().at(2).find("「%」"), std::string::npos);
    w.state.documentStem = "50%";
    w.state.texCommand = "ptex";
    w.state.indexCommand = w.toolDir + "mendex.BAT";
    w.state.dvipdfCommand = "dvipdfmx.bat. ";
    w.state.paperSizeSticky = 1;
    w.bar.files.write(w.beside(".dvi"), "dvi");
    EXPECT_EQ(compileDocument(w.state, w.bar.services) + runIndex(w.state, w.bar.services) +
                  convertDviToPdf(w.state, w.bar.services), 0);
    EXPECT_EQ(w.bar.ui.boxes.size(), 7u);
    EXPECT_EQ(w.bar.processes.started().size(), 1u);
}

// The two tool steps' road: the tool; the compiler's default in the fixed
// directories; the user's pick, retried once in the document's directory.
struct Step { const char* name; int (*run)(BarState&, Services&); std::string BarState::*field; const char* key; bool bibliography; };
const Step kSteps[] = {{"bibliography", runBibliography, &BarState::bibtexCommand, "Bib", true},
                       {"index", runIndex, &BarState::indexCommand, "MkIdx", false}};

struct StepTest : TexTest {
    // Runs `body` for each step in a fresh world.
    template <typename Body>
    void forEachStep(Body body) {
        for (const Step& step : kSteps) {
            SCOPED_TRACE(step.name);
            TexWorld w(windows);
            const std::string name = step.bibliography ? w.bibtex : "mendex";
            body(w, step, name, (windows ? "D:\\bin\\" : "/opt/bin/") + name + (windows ? ".exe" : ""));
        }
    }
};

// Where the tool is and its exit code, the answer to the selection and a
// pick; the result, the number of boxes and the key afterwards.
TEST_P(StepTest, EveryRoadOfTheStepEndsAsItShould) {
    enum Where { Path, Named, Found, FoundFailing, Picked, Nowhere };
    const std::tuple<Where, int, std::optional<Answer>, bool, int, std::size_t, const char*> rows[] = {
        {Path, 0, std::nullopt, false, 1, 0, "mine"},
        {Path, 2, std::nullopt, false, 0, 1, "mine"},
        {Named, 0, std::nullopt, false, 0, 1, "mine"},
        {Found, 0, std::nullopt, false, 1, 0, "<found>"},
        {FoundFailing, 1, std::nullopt, false, 0, 1, "mine"},
        {Picked, 0, Answer::Ok, true, 1, 2, "<picked>"},
        {Picked, 3, Answer::Ok, true, 0, 3, "<picked>"},
        {Nowhere, 0, Answer::Cancel, false, 0, 3, "<absent>"},
        {Nowhere, 0, Answer::Ok, false, 0, 3, "<absent>"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(::testing::Message() << "where " << std::get<0>(row) << ", exit code " << std::get<1>(row));
        forEachStep([&](TexWorld& w, const Step& step, const std::string& name, const std::string& picked) {
            const auto& [where, code, answer, pick, result, boxes, key] = row;
            w.bar.settings.writeSettingString("Settings", step.key, "mine");
            w.state.*step.field = where == Named ? (windows ? "C:\\old\\" + name + ".exe" : "/old/" + name) : "mine";
            if (where == Path) w.installTool(w.tool("mine"), code);
            if (where == Named || where == Found || where == FoundFailing) w.installTool(w.candidate(name, 1), 0);
            if (where == FoundFailing) w.installTool(w.candidate(name), code);
            if (where == Picked) w.installTool(picked, code);
            if (answer) w.bar.ui.answers.push_back(*answer);
            if (answer == Answer::Ok) w.bar.ui.files.push_back(pick ? picked : std::optional<std::string>());
            EXPECT_EQ(step.run(w.state, w.bar.services), result);
            EXPECT_EQ(w.bar.ui.boxes.size(), boxes);
            const std::string stored = w.bar.setting("Settings", step.key);
            EXPECT_EQ(stored, key == std::string("<found>") ? w.candidate(name, 1) : key == std::string("<picked>") ? picked : key);
            if (where == Picked) {
                EXPECT_EQ(w.bar.processes.started().at(0).arguments.at(0), picked);
                EXPECT_EQ(w.bar.files.directoryChanges, Texts{w.docDir});
            }
            if (where == Named) EXPECT_TRUE(w.bar.processes.started().empty());
            if (where == FoundFailing) EXPECT_EQ(w.state.*step.field, name);  // not stored, yet used this once
        });
    }
}

TEST_P(StepTest, TheDefaultsFollowTheCompilerAndTheIndexOptionsDialogComesFirst) {
    const std::pair<std::string, std::string> bibtexFor[] = {
        {"latex", "bibtex"}, {"platex", bibtex}, {"PLATEX", "bibtex"}, {"uplatex", "upbibtex"}};
    for (const auto& [tex, expected] : bibtexFor) {
        state.texCommand = tex;
        state.bibtexCommand = "mybib";
        installTool(candidate(expected), 0);
        EXPECT_EQ(runBibliography(state, bar.services), 1) << tex;
        EXPECT_EQ(state.bibtexCommand, candidate(expected));
        bar.processes.uninstall(candidate(expected));
    }
    state.texCommand = "latex";
    state.indexCommand = "myindex";
    installTool(candidate("makeindex"), 0);
    EXPECT_EQ(runIndex(state, bar.services), 1);
    EXPECT_EQ(bar.processes.commandLines().back(), candidate("makeindex") + " -s myindex paper");
    // The dialog shows once per call, before the first run; its Cancel
    // keeps the options.
    state.indexDialogNever = 0;
    bar.ui.indexDialogs = {[](IndexOptionsDialog& d) { d.accept("-g", false); return true; },
                           [](IndexOptionsDialog& d) { d.accept("-q", true); return false; }};
    EXPECT_EQ(runIndex(state, bar.services), 1);
    EXPECT_EQ(runIndex(state, bar.services), 1);
    EXPECT_EQ(bar.ui.events, (Texts{"index dialog", "index dialog"}));
    EXPECT_EQ(bar.processes.commandLines().back(), candidate("makeindex") + " -g paper");
    EXPECT_EQ(bar.setting("Settings", "MkIdxOpt") + " " + bar.setting("Settings", "MkIdxNvr"), "-g 0");
}

TEST_P(StepTest, TheFixedDirectoriesAreTriedAsExactPathsInOrder) {
    installTool(candidate("jbibtex"), 2);
    installTool(candidate("jbibtex", 1), 0);
    // Present along PATH and in the current directory: none of them counts.
    installTool(tool("jbibtex"), 0);
    installTool(".\\c:\\w32tex\\bin\\jbibtex.exe", 0);
    installTool("c:\\w32tex\\bin\\jbibtex", 0);
    const auto search = [this](SearchAcceptance acceptance) {
        return searchToolDirs(bar.services, "jbibtex", {stemPart("paper")}, acceptance);
    };
    EXPECT_EQ(search(SearchAcceptance::AnyStart).exitCode, 2);
    const SearchResult step = search(SearchAcceptance::ExitCodeZero);
    EXPECT_EQ(step.outcome, SearchResult::Outcome::Rejected);
    EXPECT_EQ(step.candidate, candidate("jbibtex"));
    EXPECT_EQ(bar.processes.commandLines(), (Texts{candidate("jbibtex") + " paper", candidate("jbibtex") + " paper"}));
    FakeBar posix(PlatformRules::posix());
    for (const char* dir : {"/usr/local/texlive/2023/bin/x86_64-linux/", "/usr/local/texlive/10000/bin/x/",
                            "/usr/local/texlive/2024/bin/x86_64-linux/", "/usr/local/texlive/2024/bin/aarch64-linux/",
                            "/usr/local/texlive/texmf-local/tex/", "/opt/texlive/2022/bin/x86_64-linux/"}) {
        posix.files.addDirectory(dir);
    }
    EXPECT_EQ(toolSearchDirs(posix.rules, posix.files),
              (Texts{"/usr/local/texlive/10000/bin/x/", "/usr/local/texlive/2024/bin/aarch64-linux/",
                     "/usr/local/texlive/2024/bin/x86_64-linux/", "/usr/local/texlive/2023/bin/x86_64-linux/",
                     "/opt/texlive/2022/bin/x86_64-linux/", "/usr/bin/"}));
}

// An unstartable compiler: the command, where one is ("": nowhere), the
// answer and file (no answer: no file dialog); the result, the boxes, the
// command and the "TeX" key afterwards.
TEST_P(StepTest, TheCompilersRecoveryAsksSearchesAndRetriesOnce) {
    const std::string gone = windows ? "C:\\gone\\platex.exe" : "/gone/platex";
    const std::string picked = windows ? "D:\\tex\\platex.exe" : "/opt/tex/platex";
    const std::string found = candidate("platex", 1);
    const std::tuple<std::string, std::string, std::optional<Answer>, std::optional<std::string>, int, std::size_t,
                     std::string, std::string>
        rows[] = {
            {"platex", found, std::nullopt, std::nullopt, 1, 0, found, found},
            {gone, candidate(gone), Answer::Cancel, std::nullopt, 0, 2, "platex", "<absent>"},
            {"uplatex", "", Answer::Cancel, std::nullopt, 0, 2, "platex", "<absent>"},
            {"uplatex", "", std::nullopt, std::nullopt, 0, 1, "uplatex", "uplatex"},  // no file dialog here
            {"platex", "", Answer::Ok, std::nullopt, 0, 2, "platex", "platex"},
            {"platex", picked, Answer::Ok, picked, 1, 1, picked, picked},
            {"platex", "", Answer::Ok, picked, 0, 2, picked, picked},
        };
    for (const auto& [tex, installed, answer, file, result, boxes, texAfter, keyAfter] : rows) {
        SCOPED_TRACE(tex + " / " + installed);
        TexWorld w(windows);
        w.bar.processes.uninstall(w.tool("platex"));
        w.state.texCommand = tex;
        w.state.texOptions = "-synctex=1";
        w.bar.settings.writeSettingString("Settings", "TeX", tex);
        if (!installed.empty()) {
            w.installCompiler(installed);
            w.queue(CompilerRun().exitWith(1));
        }
        if (answer) w.bar.ui.answers.push_back(*answer);
        if (answer == Answer::Ok) w.bar.ui.files.push_back(file);
        w.bar.ui.canChoose = answer.has_value();
        EXPECT_EQ(compileDocument(w.state, w.bar.services), result);
        EXPECT_EQ(std::tuple(w.bar.ui.boxes.size(), w.bar.processes.started().size()), std::tuple(boxes, std::size_t(result)));
        EXPECT_EQ(w.state.texCommand + " " + w.bar.setting("Settings", "TeX"), texAfter + " " + keyAfter);
        if (result == 1 && answer) EXPECT_EQ(w.bar.files.directoryChanges, (Texts{w.docDir, w.docDir}));
        if (result == 1) EXPECT_EQ(w.bar.processes.commandLines(), Texts{texAfter + " -synctex=1 paper"});
        if (result == 0) EXPECT_EQ(w.bar.services.road.stop(), tex + " could not be started");
    }
}

// Choosing a compiler brings its companions from its directory when its
// name holds "latex"; a converter fixed to an executable stays.
TEST(ToolSelection, TheChosenCompilerBringsItsCompanions) {
    const std::tuple<bool, std::string, std::string, std::string, std::string, std::string> cases[] = {
        {true, "C:\\w32tex\\bin\\platex.exe", "C:\\w32tex\\bin\\jbibtex", "C:\\w32tex\\bin\\mendex",
         "C:\\w32tex\\bin\\dvipdfmx", ""},
        {true, "C:\\latex\\bin\\tex.exe", "C:\\latex\\bin\\bibtex", "C:\\latex\\bin\\makeindex", "C:\\latex\\bin\\dvipdfmx", ""},
        {true, "C:\\w\\\x83\x5C" "platex.exe", "C:\\w\\jbibtex", "C:\\w\\mendex", "C:\\w\\dvipdfmx", ""},
        {true, "C:\\t\\platex.exe", "C:\\t\\jbibtex", "C:\\t\\mendex", "C:\\x\\dvipdfmx.exe", "C:\\x\\dvipdfmx.exe"},
        {true, "C:\\W32TEX\\PLATEX.EXE", "jbibtex", "mendex", "dvipdfmx", ""},
        {true, "C:\\bin\\\x83\x6C" "atex.exe", "jbibtex", "mendex", "dvipdfmx", ""},
        {false, "/usr/bin/pdflatex", "/usr/bin/bibtex", "/usr/bin/makeindex", "/usr/local/dvipdfmx", "/usr/local/dvipdfmx"},
        {false, "/usr/bin/uplatex", "/usr/bin/upbibtex", "/usr/bin/mendex", "/usr/bin/dvipdfmx", ""},
    };
    for (const auto& [windows, chosen, bib, index, dvipdf, storedDvipdf] : cases) {
        SCOPED_TRACE(chosen);
        FakeBar bar(windows ? PlatformRules::windows() : PlatformRules::posix());
        BarState state{.bibtexCommand = "jbibtex", .indexCommand = "mendex"};
        state.dvipdfCommand = storedDvipdf.empty() ? "dvipdfmx" : storedDvipdf;
        bar.ui.files.push_back(chosen);
        EXPECT_EQ(selectTexCompiler(state, bar.services), 1);
        EXPECT_EQ(bar.setting("Settings", "TeX"), chosen);
        EXPECT_EQ((Texts{state.bibtexCommand, state.indexCommand, state.dvipdfCommand}), (Texts{bib, index, dvipdf}));
        EXPECT_EQ(bar.setting("Settings", "MkIdx"), index == "mendex" ? "<absent>" : index);
        EXPECT_EQ(bar.setting("Settings", "DviPdf"), dvipdf == "dvipdfmx" || dvipdf == storedDvipdf ? "<absent>" : dvipdf);
        EXPECT_TRUE(bar.ui.boxes.empty());
    }
}

// The editor's dialog comes unexplained, its Cancel keeps the editor; where
// no file can be chosen, each selection sends the user to the panel.
TEST(ToolSelection, TheEditorAndSelectionsWithoutAFileDialog) {
    FakeBar bar(PlatformRules::windows());
    BarState state{.editorPath = "C:\\old.exe"};
    bar.ui.files = {std::nullopt, std::string("C:\\hidemaru.exe")};
    selectEditor(state, bar.services);
    EXPECT_EQ(state.editorPath, "C:\\old.exe");
    selectEditor(state, bar.services);
    EXPECT_EQ(bar.setting("Editor", "EDIT"), "C:\\hidemaru.exe");
    EXPECT_TRUE(bar.ui.boxes.empty());
    bar.ui.canChoose = false;
    const std::string before = bar.settingsText();
    for (const auto select : {selectBibtex, selectDvipdf, selectIndexTool, selectTexCompiler}) {
        EXPECT_EQ(select(state, bar.services), 0);
    }
    changeTexCompiler(state, bar.services);
    selectEditor(state, bar.services);
    EXPECT_EQ(bar.settingsText(), before);
    EXPECT_EQ(state.texCommand + state.bibtexCommand + state.dvipdfCommand + state.indexCommand, "");
    EXPECT_EQ(bar.ui.count("file dialog"), 2);
    EXPECT_EQ(bar.ui.boxes.size(), 6u);
}

INSTANTIATE_TEST_SUITE_P(Rules, StepTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::fake

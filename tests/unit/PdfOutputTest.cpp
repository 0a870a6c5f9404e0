#include <gtest/gtest.h>

#include <deque>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "PipelineTestFixture.h"
#include "build/FileError.h"
#include "dialogs/PaperSizeDialog.h"
#include "pdf/PdfOutput.h"
#include "settings/SettingsLoad.h"

namespace kestro::testing {
namespace {

using Texts = std::vector<std::string>;

const std::string kViewerQuestion =
    "PDF file が作れません！\n もし Acrobat (Adobe Reader) が起動中なら \n閉じてから、「OK」ボタンを下さい。";
const std::string kCannotMake = "PDF file が作れません！";
const std::string kCannotOpen = "PDF file が開けません！";
const std::string kOneClickCompile =
    "エラーがあります。\n TeX のコンパイルができません。\n 「設定」で「TeX の変更」をして下さい。";
const std::string kOneClickConvert =
    "エラーがあります。dvi から pdf が作れません。\n 「設定」で「dvipdfmx の選択」を変えて下さい。";
const std::string kDvipdfSelectStart = "もし PDF が作れないときは、";

class PdfTest : public PipelineTest {
protected:
    PdfTest() {
        installCompiler();
        installConverter(toolPath("dvipdfmx"));
        state.paperSizeNo = 1;
        state.paperSizeSticky = 1;
    }

    // The converter at `path`: plays the queued exit codes, writing the PDF
    // on success.
    void installConverter(const std::string& path) {
        bar.processes.install(path, [this](const ProcessRequest&) {
            int code = 0;
            if (converterCodes.empty()) {
                ADD_FAILURE() << "the converter ran more often than scripted";
            } else {
                code = converterCodes.front();
                converterCodes.pop_front();
            }
            if (code == 0 && writesPdf) bar.files.write(beside(".pdf"), "pdf");
            return code;
        });
    }
    void writeDvi() { bar.files.write(beside(".dvi"), "dvi"); }
    // The next paper dialog: `click` plays the boxes, then `position` is
    // accepted (-2: the checked one) and the dialog ends with `ok`.
    void answerPaper(void (*click)(PaperSizeDialog&), int position, bool ok = true) {
        bar.ui.answerPaperDialog([click, position, ok](PaperSizeDialog& dialog) {
            if (click) click(dialog);
            dialog.accept(position == -2 ? dialog.checkedPosition() : position);
            return ok;
        });
    }

    int convert() { return convertDviToPdf(state, bar.services); }
    int converterRuns() const { return static_cast<int>(converterCommandLines().size()); }
    Texts converterCommandLines() const {
        Texts lines;
        for (const ProcessRequest& request : bar.processes.started()) {
            if (request.commandLine.find("dvipdfmx") != std::string::npos) lines.push_back(request.commandLine);
        }
        return lines;
    }
    bool selectionOffered() const {
        for (const std::string& box : bar.ui.boxTexts()) {
            if (box.rfind(kDvipdfSelectStart, 0) == 0) return true;
        }
        return false;
    }

    std::deque<int> converterCodes;
    bool writesPdf = true;
};

TEST_P(PdfTest, EveryPaperNumberGivesItsConverterCommandLine) {
    const std::pair<int, std::string> cases[] = {
        {-1, "dvipdfmx  paper"},      {0, "dvipdfmx  -p a3  paper"},          {1, "dvipdfmx  paper"},
        {4, "dvipdfmx  -l  paper"},  {7, "dvipdfmx  -p  b5 paper"},          {13, "dvipdfmx  -p tabloid  paper"},
        {14, "dvipdfmx  paper"},     {-2147483647 - 1, "dvipdfmx  paper"},
    };
    writeDvi();
    for (const auto& [number, commandLine] : cases) {
        SCOPED_TRACE(number);
        state.paperSizeNo = number;
        converterCodes.push_back(0);
        const std::size_t before = bar.processes.started().size();
        EXPECT_EQ(convert(), 1);
        ASSERT_EQ(bar.processes.started().size(), before + 1);
        const ProcessRequest& run = bar.processes.started().back();
        EXPECT_EQ(run.executable, toolPath("dvipdfmx"));
        EXPECT_EQ(run.commandLine, commandLine);
        // The words are the command line's, split at blanks.
        std::istringstream words(commandLine);
        EXPECT_EQ(run.arguments, (Texts{std::istream_iterator<std::string>(words), {}}));
    }
    EXPECT_EQ(bar.ui.paperDialogsShown(), 0);
    EXPECT_TRUE(bar.ui.boxes().empty());

    // A stem with a blank is one word; the converter runs in the document's directory.
    state.documentStem = "my paper";
    writeDvi();
    const std::string elsewhere = windows ? "C:\\other\\" : "/other/";
    bar.files.addDirectory(elsewhere);
    bar.files.setCurrentDirectory(elsewhere);
    converterCodes.push_back(0);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.processes.started().back().arguments, (Texts{"dvipdfmx", "my paper"}));
    EXPECT_EQ(bar.files.currentDirectory(), docDir);
}

// The paper dialog's two boxes over two conversions and a restart: the
// box clicked and the size chosen; the command line, the dialogs shown in
// the run and the keys stored; then, after start-up's load, whether the
// next conversion asks (the dialog opening on A4, "until restart" clear)
// and the command line it uses.
TEST_P(PdfTest, PaperChoiceLastsAsLongAsItsBoxSays) {
    struct Row {
        const char* name;
        void (*click)(PaperSizeDialog&);
        int position;
        std::string commandLine;
        int dialogsInRun;
        const char* keys[3];  // PdfNShow, PdfNeShow, PdfSizeNo
        bool asksAfterRestart;
        std::string commandLineAfterRestart;
    };
    const Row rows[] = {
        {"B5, neither box: asks again next time", nullptr, 7, "dvipdfmx  -p  b5 paper", 2, {"0", "0", "7"}, true,
         "dvipdfmx  paper"},
        {"A3 until restart", [](PaperSizeDialog& d) { d.clickSkipUntilRestart(); }, 0, "dvipdfmx  -p a3  paper", 1,
         {"1", "0", "0"}, true, "dvipdfmx  paper"},
        {"Letter from now on", [](PaperSizeDialog& d) { d.clickSkipFromNowOn(); }, 10, "dvipdfmx  -p letter  paper", 1,
         {"0", "1", "10"}, false, "dvipdfmx  -p letter  paper"},
    };
    writeDvi();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        for (const char* key : {"PdfNShow", "PdfNeShow", "PdfSizeNo"}) bar.settings.deleteSetting("Settings", key);
        loadPaperGroup(state, bar.settings);
        const int dialogsBefore = bar.ui.paperDialogsShown();
        const std::size_t linesBefore = converterCommandLines().size();
        converterCodes = {0, 0, 0};
        answerPaper(row.click, row.position);
        if (row.dialogsInRun == 2) {
            bar.ui.answerPaperDialog([&row](PaperSizeDialog& dialog) {
                EXPECT_EQ(dialog.checkedPosition(), row.position);
                dialog.accept(dialog.checkedPosition());
                return true;
            });
        }
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(bar.ui.paperDialogsShown() - dialogsBefore, row.dialogsInRun);
        EXPECT_EQ(bar.setting("Settings", "PdfNShow"), row.keys[0]);
        EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), row.keys[1]);
        EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), row.keys[2]);

        BarState restarted = state;
        loadPaperGroup(restarted, bar.settings);
        loadPaperGroup(state, bar.settings);  // a second start sees the same: nothing decays further
        EXPECT_EQ(state.paperSizeNo, restarted.paperSizeNo);
        EXPECT_EQ(state.paperSizeSticky, row.asksAfterRestart ? 0 : 1);
        EXPECT_EQ(PaperSizeDialog(bar.settings).skipFromNowOnChecked(), !row.asksAfterRestart);
        if (row.asksAfterRestart) {
            bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
                EXPECT_EQ(dialog.checkedPosition(), 1);
                EXPECT_FALSE(dialog.skipUntilRestartChecked());
                dialog.accept(dialog.checkedPosition());
                return true;
            });
        }
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(bar.ui.paperDialogsShown() - dialogsBefore, row.dialogsInRun + (row.asksAfterRestart ? 1 : 0));
        const Texts lines = converterCommandLines();
        EXPECT_EQ(Texts(lines.begin() + static_cast<long>(linesBefore), lines.end()),
                  (Texts{row.commandLine, row.commandLine, row.commandLineAfterRestart}));
    }
}

TEST_P(PdfTest, MissingDviIsCompiledFirstAndAFailedCompileStopsBeforeThePaperDialog) {
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(programsRun(), (Texts{"platex", "dvipdfmx"}));

    bar.files.remove(beside(".dvi"));
    state.paperSizeSticky = 0;
    queueRun(CompilerRun().noDvi().exitWith(1));
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(converterRuns(), 1);
    EXPECT_EQ(bar.ui.paperDialogsShown(), 0);
}

TEST_P(PdfTest, VanishedDocumentDirectoryEndsTheOperationUnconverted) {
    writeDvi();
    bar.files.removeDirectory(docDir);
    EXPECT_THROW(convert(), FileError);
    EXPECT_EQ(converterRuns(), 0);
}

// A converter failure, row by row: the converter's exit codes, the user's
// answers (the viewer question first, then the selection's box and its
// dialog), whether an earlier conversion succeeded; then the result, the
// boxes ("<selection>": the selection's own), the converter runs, and the
// converter and "Acr" afterwards. The selection comes only before the
// first success, and its new converter is not tried in the same press.
TEST_P(PdfTest, ConverterFailureAsksAboutTheViewerAndRetriesOnce) {
    const std::string chosen = windows ? "D:\\pdf\\dvipdfmx.exe" : "/opt/pdf/dvipdfmx";
    struct Row {
        const char* name;
        std::deque<int> codes;
        std::vector<Answer> answers;
        std::optional<std::string> file;
        int acr;
        int result;
        Texts texts;
        int runs;
        std::string converterAfter;
        std::string acrKey;
    };
    const Row rows[] = {
        {"OK and the retry succeeds", {1, 0}, {Answer::Ok}, std::nullopt, 0, 1, {kViewerQuestion}, 2, "dvipdfmx", "1"},
        {"failed retry before the first success", {1, 1}, {Answer::Ok, Answer::Ok}, chosen, 0, 0,
         {kViewerQuestion, kCannotMake, "<selection>"}, 2, chosen, "<absent>"},
        {"failed retry after an earlier success", {1, 1}, {Answer::Ok}, std::nullopt, 1, 0,
         {kViewerQuestion, kCannotMake}, 2, "dvipdfmx", "<absent>"},
        // The selection, cancelled in its dialog, returns the converter to its bare name.
        {"cancel on the viewer question: no retry", {2}, {Answer::Cancel, Answer::Ok}, std::nullopt, 0, 0,
         {kViewerQuestion, kCannotMake, "<selection>"}, 1, "dvipdfmx", "<absent>"},
    };
    writeDvi();
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        state.dvipdfCommand = "dvipdfmx";
        state.acrSetting = row.acr;
        bar.settings.deleteSetting("Settings", "Acr");
        bar.settings.deleteSetting("Settings", "DviPdf");
        converterCodes = row.codes;
        for (Answer answer : row.answers) bar.ui.answerQuestion(answer);
        if (row.answers.size() > 1) bar.ui.answerFileDialog(row.file);
        const std::size_t boxesBefore = bar.ui.boxes().size();
        const int runsBefore = converterRuns();

        EXPECT_EQ(convert(), row.result);

        const Texts all = bar.ui.boxTexts();
        Texts texts(all.begin() + static_cast<long>(boxesBefore), all.end());
        for (std::string& text : texts) {
            if (text.rfind(kDvipdfSelectStart, 0) == 0) text = "<selection>";
        }
        EXPECT_EQ(texts, row.texts);
        EXPECT_EQ(bar.ui.boxes()[boxesBefore].buttons, BoxButtons::OkCancel);
        EXPECT_EQ(converterRuns() - runsBefore, row.runs);
        EXPECT_EQ(state.dvipdfCommand, row.converterAfter);
        EXPECT_EQ(state.acrSetting, row.result == 1 ? 1 : row.acr);
        EXPECT_EQ(bar.setting("Settings", "Acr"), row.acrKey);
        EXPECT_EQ(bar.hasSetting("Settings", "DviPdf"), row.converterAfter != "dvipdfmx");
    }
    // "Acr" is written on the first success only.
    converterCodes = {0, 0};
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.setting("Settings", "Acr"), "1");
    const int writes = bar.store.writes();
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.store.writes(), writes);
}

TEST_P(PdfTest, ConverterFoundInASearchDirectoryIsKeptEvenWhenItFails) {
    const std::string found = candidate("dvipdfmx", 1);
    bar.processes.uninstall(toolPath("dvipdfmx"));
    installConverter(found);
    writeDvi();
    converterCodes = {1, 0};
    bar.ui.answerQuestion(Answer::Ok);

    EXPECT_EQ(convert(), 1);

    EXPECT_EQ(state.dvipdfCommand, found);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), found);
    ASSERT_EQ(bar.processes.started().size(), 2u);
    EXPECT_EQ(bar.processes.started()[0].executable, found);
    EXPECT_EQ(bar.processes.started()[1].executable, found);
    EXPECT_EQ(bar.processes.started()[1].commandLine, found + "  paper");
}

TEST_P(PdfTest, UnstartableConverter) {
    bar.processes.uninstall(toolPath("dvipdfmx"));
    writeDvi();
    // A bare name (on Windows an upper-case path is no ".exe" name): the
    // search finds nothing and the selection follows.
    state.dvipdfCommand = windows ? "C:\\TEX\\BIN\\DVIPDFMX.EXE" : "dvipdfmx";
    bar.ui.answerQuestion(Answer::Ok);
    const std::string chosen = windows ? "D:\\tex\\dvipdfmx.exe" : "/opt/tex/dvipdfmx";
    bar.ui.answerFileDialog(chosen);
    EXPECT_EQ(convert(), 0);
    EXPECT_TRUE(bar.processes.started().empty());
    EXPECT_TRUE(selectionOffered());
    EXPECT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(state.dvipdfCommand, chosen);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), chosen);

    // A named executable that is gone is reported, with no selection.
    EXPECT_EQ(convert(), 0);
    ASSERT_EQ(bar.ui.boxes().size(), 2u);
    EXPECT_EQ(bar.ui.boxes()[1].text,
              "dvipdfmx \"" + chosen + "\" が起動できません。\n「設定」で「dvipdfmx の選択」をして下さい。");
    EXPECT_EQ(bar.ui.boxes()[1].owner, BoxOwner::Bar);
    EXPECT_EQ(bar.ui.fileDialogs().size(), 1u);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), chosen);
}

// --- opening the PDF ---

TEST_P(PdfTest, PresentPdfOpensAtOnceAndAShellFailureIsShownUnderTheWaitCursor) {
    bar.files.write(beside(".pdf"), "old pdf");
    openPdf(state, bar.services);
    EXPECT_TRUE(bar.processes.started().empty());
    ASSERT_EQ(bar.ui.shellOpens().size(), 1u);
    const ShellOpenRequest& open = bar.ui.shellOpens()[0];
    EXPECT_EQ(open.file, "paper.pdf");
    EXPECT_EQ(open.directory, docDir);
    EXPECT_EQ(bar.ui.waitCursorSwitches(), 2);
    EXPECT_FALSE(bar.ui.waitCursorOn());
    EXPECT_TRUE(bar.ui.boxes().empty());

    bar.ui.answerShellOpen(31);
    bool cursorDuringBox = false;
    bar.ui.onMessage = [this, &cursorDuringBox](const MessageBoxRequest&) {
        cursorDuringBox = bar.ui.waitCursorOn();
    };
    openPdf(state, bar.services);
    EXPECT_EQ(bar.ui.boxTexts(), Texts{kCannotOpen});
    EXPECT_TRUE(cursorDuringBox);
    EXPECT_FALSE(bar.ui.waitCursorOn());

    // 33 is the first success value.
    bar.ui.answerShellOpen(33);
    openPdf(state, bar.services);
    EXPECT_EQ(bar.ui.boxes().size(), 1u);
}

TEST_P(PdfTest, MissingPdfIsMadeFirstAndOpenedOnTheConvertersWord) {
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    writesPdf = false;  // success alone opens, even without a PDF file
    openPdf(state, bar.services);
    EXPECT_EQ(programsRun(), (Texts{"platex", "dvipdfmx"}));
    EXPECT_EQ(bar.ui.shellOpens().size(), 1u);
}

// --- the TeX and one-click buttons ---

TEST_P(PdfTest, TexButtonConvertsAfterACompileButNeverOpens) {
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    compileAndConvert(state, bar.services);
    EXPECT_EQ(converterRuns(), 1);
    EXPECT_TRUE(bar.ui.shellOpens().empty());

    queueRun(CompilerRun().noDvi());
    compileAndConvert(state, bar.services);
    EXPECT_EQ(converterRuns(), 1);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(PdfTest, OneClickRunsTheWholeRoad) {
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(programsRun(), (Texts{"platex", "dvipdfmx"}));
    EXPECT_EQ(bar.ui.shellOpens().size(), 1u);
}

TEST_P(PdfTest, OneClickCompileFailureAddsItsMessageAndStops) {
    queueRun(CompilerRun().noDvi());
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.ui.boxTexts(), Texts{kOneClickCompile});

    // Without a document the compile asks first, then the same message follows.
    state.documentStem.clear();
    state.documentDir.clear();
    buildAndShowPdf(state, bar.services);
    ASSERT_EQ(bar.ui.boxTexts().size(), 3u);
    EXPECT_EQ(bar.ui.boxTexts()[2], kOneClickCompile);
}

TEST_P(PdfTest, OneClickCancelledPaperDialogAddsTheConversionMessage) {
    state.paperSizeSticky = 0;
    queueRun(CompilerRun());
    answerPaper(nullptr, -2, false);
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.ui.boxTexts(), Texts{kOneClickConvert});
    EXPECT_TRUE(bar.ui.shellOpens().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, PdfTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

#include "PipelineTestFixture.h"
#include "build/FileError.h"
#include "dialogs/PaperSizeDialog.h"
#include "pdf/PdfOutput.h"
#include "settings/SettingsLoad.h"

namespace kestro::testing {
namespace {

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
    void installConverter() { installConverter(toolPath("dvipdfmx")); }

    int convert() { return convertDviToPdf(state, bar.services); }
    int converterRuns() const { return static_cast<int>(converterCommandLines().size()); }
    std::vector<std::string> converterCommandLines() const {
        std::vector<std::string> lines;
        for (const ProcessRequest& request : bar.processes.started()) {
            if (request.commandLine.find("dvipdfmx") != std::string::npos) lines.push_back(request.commandLine);
        }
        return lines;
    }
    bool shown(const std::string& text) const {
        for (const std::string& box : bar.ui.boxTexts()) {
            if (box == text) return true;
        }
        return false;
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
    struct Case {
        int number;
        std::string commandLine;
        std::vector<std::string> words;
    };
    const Case cases[] = {
        {-1, "dvipdfmx  paper", {"dvipdfmx", "paper"}},
        {0, "dvipdfmx  -p a3  paper", {"dvipdfmx", "-p", "a3", "paper"}},
        {1, "dvipdfmx  paper", {"dvipdfmx", "paper"}},
        {2, "dvipdfmx  -p a5  paper", {"dvipdfmx", "-p", "a5", "paper"}},
        {3, "dvipdfmx  -p a6  paper", {"dvipdfmx", "-p", "a6", "paper"}},
        {4, "dvipdfmx  -l  paper", {"dvipdfmx", "-l", "paper"}},
        {5, "dvipdfmx  -p b3  paper", {"dvipdfmx", "-p", "b3", "paper"}},
        {6, "dvipdfmx  -p b4  paper", {"dvipdfmx", "-p", "b4", "paper"}},
        {7, "dvipdfmx  -p  b5 paper", {"dvipdfmx", "-p", "b5", "paper"}},
        {8, "dvipdfmx  -p b6  paper", {"dvipdfmx", "-p", "b6", "paper"}},
        {9, "dvipdfmx  -p b5var  paper", {"dvipdfmx", "-p", "b5var", "paper"}},
        {10, "dvipdfmx  -p letter  paper", {"dvipdfmx", "-p", "letter", "paper"}},
        {11, "dvipdfmx  -p legal  paper", {"dvipdfmx", "-p", "legal", "paper"}},
        {12, "dvipdfmx  -p ledger  paper", {"dvipdfmx", "-p", "ledger", "paper"}},
        {13, "dvipdfmx  -p tabloid  paper", {"dvipdfmx", "-p", "tabloid", "paper"}},
        {14, "dvipdfmx  paper", {"dvipdfmx", "paper"}},
        {-2147483647 - 1, "dvipdfmx  paper", {"dvipdfmx", "paper"}},
    };
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.number);
        state.paperSizeNo = c.number;
        converterCodes.push_back(0);
        const std::size_t before = bar.processes.started().size();
        EXPECT_EQ(convert(), 1);
        ASSERT_EQ(bar.processes.started().size(), before + 1);
        const ProcessRequest& run = bar.processes.started().back();
        EXPECT_EQ(run.executable, toolPath("dvipdfmx"));
        EXPECT_EQ(run.commandLine, c.commandLine);
        EXPECT_EQ(run.arguments, c.words);
    }
    EXPECT_EQ(bar.ui.paperDialogsShown(), 0);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(PdfTest, StemWithABlankReachesTheConverterAsOneWord) {
    installConverter();
    state.documentStem = "my paper";
    state.documentPath = docDir + "my paper.tex";
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes.push_back(0);
    EXPECT_EQ(convert(), 1);
    ASSERT_EQ(bar.processes.started().size(), 1u);
    const std::vector<std::string> words = {"dvipdfmx", "my paper"};
    EXPECT_EQ(bar.processes.started()[0].arguments, words);
}

TEST_P(PdfTest, B5WithNeitherBoxAsksAgainNextTime) {
    installConverter();
    state.paperSizeSticky = 0;
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {0, 0};
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.accept(7);
        return true;
    });
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        EXPECT_EQ(dialog.checkedPosition(), 7);
        dialog.accept(dialog.checkedPosition());
        return true;
    });

    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "7");
    EXPECT_EQ(convert(), 1);

    EXPECT_EQ(bar.ui.paperDialogsShown(), 2);
    const std::vector<std::string> lines = {"dvipdfmx  -p  b5 paper", "dvipdfmx  -p  b5 paper"};
    EXPECT_EQ(converterCommandLines(), lines);
}

TEST_P(PdfTest, FromNowOnWithLetterHoldsAcrossRestarts) {
    installConverter();
    loadPaperGroup(state, bar.settings);
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {0, 0, 0};
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(10);
        return true;
    });
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "1");
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "10");

    BarState restarted = state;
    loadPaperGroup(restarted, bar.settings);
    state = restarted;
    EXPECT_EQ(convert(), 1);

    EXPECT_EQ(bar.ui.paperDialogsShown(), 1);
    for (const std::string& line : converterCommandLines()) EXPECT_EQ(line, "dvipdfmx  -p letter  paper");
}

TEST_P(PdfTest, UntilRestartStopsAskingOnlyForThisRun) {
    installConverter();
    loadPaperGroup(state, bar.settings);
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {0, 0, 0};
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipUntilRestart();
        dialog.accept(0);
        return true;
    });
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.ui.paperDialogsShown(), 1);
    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "1");

    loadPaperGroup(state, bar.settings);
    EXPECT_EQ(bar.setting("Settings", "PdfNShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfNeShow"), "0");
    EXPECT_EQ(bar.setting("Settings", "PdfSizeNo"), "1");
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        EXPECT_EQ(dialog.checkedPosition(), 1);
        EXPECT_FALSE(dialog.skipUntilRestartChecked());
        dialog.accept(dialog.checkedPosition());
        return true;
    });
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.ui.paperDialogsShown(), 2);
    EXPECT_EQ(converterCommandLines().back(), "dvipdfmx  paper");
}

TEST_P(PdfTest, CancelledPaperDialogConvertsNothingAndWritesNothing) {
    installConverter();
    state.paperSizeSticky = 0;
    bar.files.write(beside(".dvi"), "dvi");
    bar.ui.answerPaperDialog([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(3);
        return false;
    });
    const int writesBefore = bar.store.writes();
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.store.writes(), writesBefore);
    EXPECT_EQ(state.acrSetting, 0);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(PdfTest, MissingDviIsCompiledFirst) {
    installConverter();
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "dvipdfmx"}));
}

TEST_P(PdfTest, FailedCompileWithoutDviStopsBeforeThePaperDialog) {
    installConverter();
    state.paperSizeSticky = 0;
    queueRun(CompilerRun().noDvi().exitWith(1));
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.ui.paperDialogsShown(), 0);
}

TEST_P(PdfTest, NoDocumentLeavesItToTheCompileToAsk) {
    installConverter();
    state.documentStem.clear();
    state.documentDir.clear();
    state.documentPath.clear();
    EXPECT_EQ(convert(), 0);
    EXPECT_TRUE(bar.processes.started().empty());
    EXPECT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.paperDialogsShown(), 0);
}

TEST_P(PdfTest, TheConverterRunsInTheDocumentDirectory) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    const std::string elsewhere = windows ? "C:\\other\\" : "/other/";
    bar.files.addDirectory(elsewhere);
    bar.files.setCurrentDirectory(elsewhere);
    converterCodes.push_back(0);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.files.currentDirectory(), docDir);
}

TEST_P(PdfTest, VanishedDocumentDirectoryEndsTheOperationUnconverted) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    bar.files.removeDirectory(docDir);
    EXPECT_THROW(convert(), FileError);
    EXPECT_EQ(converterRuns(), 0);
}

TEST_P(PdfTest, FirstSuccessSetsAcrOnceAndOnlyOnce) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {0, 0};
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(state.acrSetting, 1);
    EXPECT_EQ(bar.setting("Settings", "Acr"), "1");
    const int writes = bar.store.writes();
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.store.writes(), writes);
}

TEST_P(PdfTest, FailureThenOkAndSuccessfulRetry) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {1, 0};
    bar.ui.answerQuestion(Answer::Ok);
    EXPECT_EQ(convert(), 1);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    const MessageBoxRequest& box = bar.ui.boxes()[0];
    EXPECT_EQ(box.text, kViewerQuestion);
    EXPECT_EQ(box.owner, BoxOwner::Application);
    EXPECT_EQ(box.buttons, BoxButtons::OkCancel);
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_EQ(converterRuns(), 2);
    EXPECT_EQ(bar.setting("Settings", "Acr"), "1");
}

TEST_P(PdfTest, FailedRetryOffersTheSelectionBeforeTheFirstSuccess) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {1, 1};
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerQuestion(Answer::Ok);  // the selection's box
    bar.ui.answerFileDialog(windows ? "D:\\pdf\\dvipdfmx.exe" : "/opt/pdf/dvipdfmx");

    EXPECT_EQ(convert(), 0);

    const std::vector<std::string> texts = bar.ui.boxTexts();
    ASSERT_EQ(texts.size(), 3u);
    EXPECT_EQ(texts[0], kViewerQuestion);
    EXPECT_EQ(texts[1], kCannotMake);
    EXPECT_EQ(bar.ui.boxes()[1].owner, BoxOwner::Bar);
    EXPECT_EQ(bar.ui.boxes()[1].icon, BoxIcon::None);
    EXPECT_EQ(bar.ui.boxes()[1].buttons, BoxButtons::Ok);
    EXPECT_TRUE(selectionOffered());
    EXPECT_EQ(converterRuns(), 2);
    // The new converter is not tried in this press.
    EXPECT_EQ(state.dvipdfCommand, windows ? "D:\\pdf\\dvipdfmx.exe" : "/opt/pdf/dvipdfmx");
    EXPECT_EQ(state.acrSetting, 0);
    EXPECT_FALSE(bar.hasSetting("Settings", "Acr"));
}

TEST_P(PdfTest, FailedRetryAfterAnEarlierSuccessOffersNoSelection) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    state.acrSetting = 1;
    converterCodes = {1, 1};
    bar.ui.answerQuestion(Answer::Ok);

    EXPECT_EQ(convert(), 0);

    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{kViewerQuestion, kCannotMake}));
    EXPECT_EQ(converterRuns(), 2);
    EXPECT_EQ(state.dvipdfCommand, "dvipdfmx");
}

TEST_P(PdfTest, CancelOnTheViewerQuestionMeansNoRetry) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {2};
    bar.ui.answerQuestion(Answer::Cancel);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(std::nullopt);
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(converterRuns(), 1);
    EXPECT_TRUE(shown(kCannotMake));
    // The selection, cancelled in its dialog, returned the converter to its bare name.
    EXPECT_EQ(state.dvipdfCommand, "dvipdfmx");
    EXPECT_FALSE(bar.hasSetting("Settings", "DviPdf"));
    EXPECT_FALSE(bar.hasSetting("Settings", "Acr"));
}

TEST_P(PdfTest, ConverterFoundInASearchDirectoryIsKeptEvenWhenItFails) {
    if (!windows) GTEST_SKIP() << "the fixed directories are Windows paths";
    const std::string candidate = "c:\\tex\\bin\\dvipdfmx.exe";
    installConverter(candidate);
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes = {1, 0};
    bar.ui.answerQuestion(Answer::Ok);

    EXPECT_EQ(convert(), 1);

    EXPECT_EQ(state.dvipdfCommand, candidate);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), candidate);
    ASSERT_EQ(bar.processes.started().size(), 2u);
    EXPECT_EQ(bar.processes.started()[0].executable, candidate);
    EXPECT_EQ(bar.processes.started()[1].executable, candidate);
    EXPECT_EQ(bar.processes.started()[1].commandLine, "c:\\tex\\bin\\dvipdfmx.exe  paper");
}

TEST_P(PdfTest, UnstartableBareConverterLeadsToTheSelection) {
    bar.files.write(beside(".dvi"), "dvi");
    // An upper-case path is no ".exe" name: the search still runs, finds
    // nothing and the selection follows.
    state.dvipdfCommand = windows ? "C:\\TEX\\BIN\\DVIPDFMX.EXE" : "dvipdfmx";
    bar.ui.answerQuestion(Answer::Ok);
    const std::string chosen = windows ? "D:\\tex\\dvipdfmx.exe" : "/opt/tex/dvipdfmx";
    bar.ui.answerFileDialog(chosen);

    EXPECT_EQ(convert(), 0);

    EXPECT_TRUE(bar.processes.started().empty());
    EXPECT_TRUE(selectionOffered());
    EXPECT_EQ(state.dvipdfCommand, chosen);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), chosen);
    EXPECT_FALSE(shown(kCannotMake));
}

TEST_P(PdfTest, UnstartableConverterPathIsReportedWithoutSelection) {
    bar.files.write(beside(".dvi"), "dvi");
    state.dvipdfCommand = windows ? "C:\\tex\\bin\\dvipdfmx.exe" : "/opt/gone/dvipdfmx";
    bar.settings.writeSettingString("Settings", "DviPdf", state.dvipdfCommand);

    EXPECT_EQ(convert(), 0);

    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].text, "dvipdfmx \"" + state.dvipdfCommand +
                                          "\" が起動できません。\n「設定」で「dvipdfmx の選択」をして下さい。");
    EXPECT_EQ(bar.ui.boxes()[0].owner, BoxOwner::Bar);
    EXPECT_TRUE(bar.ui.fileDialogs().empty());
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), state.dvipdfCommand);
}

// --- opening the PDF ---

TEST_P(PdfTest, PresentPdfOpensAtOnceWithTheWaitCursor) {
    bar.files.write(beside(".pdf"), "old pdf");
    openPdf(state, bar.services);
    EXPECT_TRUE(bar.processes.started().empty());
    ASSERT_EQ(bar.ui.shellOpens().size(), 1u);
    const ShellOpenRequest& open = bar.ui.shellOpens()[0];
    EXPECT_EQ(open.verb, "open");
    EXPECT_EQ(open.file, "paper.pdf");
    EXPECT_FALSE(open.parameters.has_value());
    EXPECT_EQ(open.directory, docDir);
    EXPECT_EQ(open.showCommand, 5);
    EXPECT_EQ(bar.ui.waitCursorSwitches(), 2);
    EXPECT_FALSE(bar.ui.waitCursorOn());
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(PdfTest, MissingPdfAndDviAreMadeInOnePress) {
    installConverter();
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    openPdf(state, bar.services);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "dvipdfmx"}));
    EXPECT_EQ(bar.ui.shellOpens().size(), 1u);
}

TEST_P(PdfTest, ConverterSuccessOpensEvenWithoutAPdfFile) {
    installConverter();
    writesPdf = false;
    bar.files.write(beside(".dvi"), "dvi");
    converterCodes.push_back(0);
    openPdf(state, bar.services);
    EXPECT_EQ(bar.ui.shellOpens().size(), 1u);
}

TEST_P(PdfTest, FailedConversionOpensNothingAndAddsNoBox) {
    installConverter();
    bar.files.write(beside(".dvi"), "dvi");
    state.acrSetting = 1;
    converterCodes = {1};
    bar.ui.answerQuestion(Answer::Cancel);
    openPdf(state, bar.services);
    EXPECT_TRUE(bar.ui.shellOpens().empty());
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{kViewerQuestion, kCannotMake}));
}

TEST_P(PdfTest, ShellFailureIsShownWhileTheWaitCursorIsOn) {
    bar.files.write(beside(".pdf"), "pdf");
    bar.ui.answerShellOpen(31);
    bool cursorDuringBox = false;
    bar.ui.onMessage = [this, &cursorDuringBox](const MessageBoxRequest&) {
        cursorDuringBox = bar.ui.waitCursorOn();
    };
    openPdf(state, bar.services);
    EXPECT_EQ(bar.ui.boxTexts(), std::vector<std::string>{kCannotOpen});
    EXPECT_EQ(bar.ui.boxes()[0].owner, BoxOwner::Bar);
    EXPECT_TRUE(cursorDuringBox);
    EXPECT_FALSE(bar.ui.waitCursorOn());

    // 33 is the first success value.
    bar.ui.answerShellOpen(33);
    openPdf(state, bar.services);
    EXPECT_EQ(bar.ui.boxes().size(), 1u);
}

// --- the TeX and one-click buttons ---

TEST_P(PdfTest, TexButtonConvertsAfterACompileButNeverOpens) {
    installConverter();
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
    installConverter();
    queueRun(CompilerRun());
    converterCodes.push_back(0);
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(programsRun(), (std::vector<std::string>{"platex", "dvipdfmx"}));
    ASSERT_EQ(bar.ui.shellOpens().size(), 1u);
    EXPECT_EQ(bar.ui.shellOpens()[0].file, "paper.pdf");
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_P(PdfTest, OneClickCompileFailureAddsItsMessageAndStops) {
    installConverter();
    queueRun(CompilerRun().noDvi());
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.ui.boxTexts(), std::vector<std::string>{kOneClickCompile});
    EXPECT_EQ(bar.ui.boxes()[0].owner, BoxOwner::Bar);
    EXPECT_EQ(bar.ui.boxes()[0].icon, BoxIcon::None);
}

TEST_P(PdfTest, OneClickWithoutDocumentAsksThenAddsTheCompileMessage) {
    state.documentStem.clear();
    state.documentDir.clear();
    buildAndShowPdf(state, bar.services);
    const std::vector<std::string> texts = bar.ui.boxTexts();
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_EQ(texts[1], kOneClickCompile);
}

TEST_P(PdfTest, OneClickCancelledPaperDialogAddsTheConversionMessage) {
    installConverter();
    state.paperSizeSticky = 0;
    queueRun(CompilerRun());
    bar.ui.answerPaperDialog([](PaperSizeDialog&) { return false; });
    buildAndShowPdf(state, bar.services);
    EXPECT_EQ(converterRuns(), 0);
    EXPECT_EQ(bar.ui.boxTexts(), std::vector<std::string>{kOneClickConvert});
    EXPECT_TRUE(bar.ui.shellOpens().empty());
}

INSTANTIATE_TEST_SUITE_P(Rules, PdfTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::testing

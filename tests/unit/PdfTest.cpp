// From the DVI file to the viewer: the paper size and its dialog, the
// converter's retry and recovery, opening the PDF, and how a road is judged.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "app/BarWindow.h"
#include "pdf/PdfOutput.h"
#include "state/SettingsLoad.h"

namespace kestro::fake {
namespace {

class PdfTest : public TexTest {
protected:
    PdfTest() {
        installConverter(tool("dvipdfmx"));
        state.paperSizeNo = state.paperSizeSticky = 1;
    }
    // The converter plays the queued exit codes, writing the PDF on success.
    void installConverter(const std::string& path) {
        bar.processes.install(path, [this](const ProcessRequest&) {
            const int code = codes.empty() ? 0 : codes.front();
            if (!codes.empty()) codes.pop_front();
            if (code == 0 && writesPdf) bar.files.write(beside(".pdf"), "pdf");
            return ProcessEnd{code, 0};
        });
    }
    int convert() { return convertDviToPdf(state, bar.services); }
    Texts converterLines() const {  // the converter's command lines
        Texts lines;
        for (const std::string& line : bar.processes.commandLines()) {
            if (line.find("dvipdfmx") != std::string::npos) lines.push_back(line);
        }
        return lines;
    }
    // The next paper dialog: `click` plays the boxes, then `position` is
    // accepted (-2: the one checked) and the dialog ends with `ok`.
    void answerPaper(void (*click)(PaperSizeDialog&), int position, bool ok = true) {
        bar.ui.paperDialogs.push_back([click, position, ok](PaperSizeDialog& dialog) {
            if (click) click(dialog);
            dialog.accept(position == -2 ? dialog.checkedPosition() : position);
            return ok;
        });
    }

    std::deque<int> codes;
    bool writesPdf = true;
};

TEST(PaperSizeDialog, OpensOnTheStoredKeysAndItsBoxesExcludeEachOther) {
    // A hand-edited number outside the buttons means A4, which needs no option.
    for (const int number : {-1, 1, 14}) EXPECT_EQ(paperOptionText(PlatformRules::posix(), number), "") << number;
    EXPECT_EQ(paperOptionText(PlatformRules::posix(), 4), " -l ");
    FakeBar bar(PlatformRules::windows());
    EXPECT_EQ(PaperSizeDialog(bar.settings).checkedPosition(), 1);  // A4 when nothing is stored
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", 14);
    EXPECT_EQ(PaperSizeDialog(bar.settings).checkedPosition(), -1);
    for (const char* key : {"PdfNShow", "PdfNeShow"}) bar.settings.writeSettingInt("Settings", key, 1);
    PaperSizeDialog dialog(bar.settings);
    EXPECT_TRUE(dialog.skipUntilRestartChecked() && dialog.skipFromNowOnChecked());
    // Each click and the boxes after it: clearing one of two checked boxes
    // leaves the other; checking one clears the other, never sets it.
    const std::tuple<bool, int, int> clicks[] = {{true, 0, 1}, {true, 1, 0}, {false, 0, 1}, {false, 0, 0}};
    for (const auto& [untilRestart, restartAfter, fromNowOnAfter] : clicks) {
        untilRestart ? dialog.clickSkipUntilRestart() : dialog.clickSkipFromNowOn();
        EXPECT_EQ(dialog.skipUntilRestart, restartAfter);
        EXPECT_EQ(dialog.skipFromNowOn, fromNowOnAfter);
    }
}

// The box clicked and the size chosen; the dialogs over two conversions,
// the keys stored, and whether a conversion after a restart asks again.
TEST_P(PdfTest, APaperChoiceLastsAsLongAsItsBoxSays) {
    const std::tuple<void (*)(PaperSizeDialog&), int, std::string, int, Texts, bool> rows[] = {
        {nullptr, 7, windows ? "dvipdfmx  -p  b5 paper" : "dvipdfmx  -p 182mm,257mm  paper", 2, {"0", "0", "7"}, true},
        {[](PaperSizeDialog& d) { d.clickSkipUntilRestart(); }, 0, "dvipdfmx  -p a3  paper", 1, {"1", "0", "0"}, true},
        {[](PaperSizeDialog& d) { d.clickSkipFromNowOn(); }, 10, "dvipdfmx  -p letter  paper", 1, {"0", "1", "10"}, false},
    };
    bar.files.write(beside(".dvi"), "dvi");
    for (const auto& [click, position, line, dialogs, keys, asksAfterRestart] : rows) {
        SCOPED_TRACE(line);
        for (const char* key : {"PdfNShow", "PdfNeShow", "PdfSizeNo"}) bar.settings.deleteSetting("Settings", key);
        loadPaperGroup(state, bar.settings);
        const int before = bar.ui.count("paper dialog");
        answerPaper(click, position);
        if (dialogs == 2) answerPaper(nullptr, -2);  // it opens on the size stored
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(bar.ui.count("paper dialog") - before, dialogs);
        EXPECT_EQ((Texts{bar.setting("Settings", "PdfNShow"), bar.setting("Settings", "PdfNeShow"),
                         bar.setting("Settings", "PdfSizeNo")}),
                  keys);
        EXPECT_EQ(converterLines().back(), line);

        loadPaperGroup(state, bar.settings);
        EXPECT_EQ(state.paperSizeSticky, asksAfterRestart ? 0 : 1);
        if (asksAfterRestart) answerPaper(nullptr, -2);  // now on A4
        EXPECT_EQ(convert(), 1);
        EXPECT_EQ(converterLines().back(), asksAfterRestart ? "dvipdfmx  paper" : line);
    }
}

// The converter's exit codes, the answers (the viewer question, then the
// selection's, which comes only before a first success), a pick, an earlier
// success; the result, boxes, runs, and the converter and "Acr" afterwards.
TEST_P(PdfTest, AFailedConversionAsksAboutTheViewerAndRetriesOnce) {
    const std::string chosen = windows ? "D:\\pdf\\dvipdfmx.exe" : "/opt/pdf/dvipdfmx";
    const std::tuple<std::deque<int>, std::deque<Answer>, bool, int, int, std::size_t, std::size_t, std::string, std::string>
        rows[] = {
            {{1, 0}, {Answer::Ok}, false, 0, 1, 1, 2, "dvipdfmx", "1"},
            {{1, 1}, {Answer::Ok, Answer::Ok}, true, 0, 0, 3, 2, chosen, "<absent>"},
            {{1, 1}, {Answer::Ok}, false, 1, 0, 2, 2, "dvipdfmx", "<absent>"},
            {{2}, {Answer::Cancel, Answer::Cancel}, false, 0, 0, 3, 1, "dvipdfmx", "<absent>"},
        };
    bar.files.write(beside(".dvi"), "dvi");
    for (const auto& [exitCodes, answers, pick, acr, result, boxes, runs, converterAfter, acrKey] : rows) {
        SCOPED_TRACE(::testing::Message() << exitCodes.size() << " runs, " << answers.size() << " answers, acr " << acr);
        state.dvipdfCommand = "dvipdfmx";
        state.acrSetting = acr;
        bar.settings.deleteSetting("Settings", "Acr");
        codes = exitCodes;
        bar.ui.answers = answers;
        if (pick) bar.ui.files.push_back(chosen);
        bar.ui.boxes.clear();
        const std::size_t runsBefore = converterLines().size();
        EXPECT_EQ(convert(), result);
        EXPECT_EQ(std::tuple(bar.ui.boxes.size(), converterLines().size() - runsBefore), std::tuple(boxes, runs));
        // The viewer question is the application's box.
        EXPECT_EQ(std::tuple(bar.ui.boxes.at(0).owner, bar.ui.boxes.at(0).caption), std::tuple(BoxOwner::Application, "Kestro"));
        EXPECT_EQ(state.dvipdfCommand + " " + bar.setting("Settings", "Acr"), converterAfter + " " + acrKey);
    }
    // "Acr" is written on the first success only.
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.setting("Settings", "Acr"), "1");
    const int writes = bar.store.writes;
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(bar.store.writes, writes);
}

TEST_P(PdfTest, AnUnstartableConverterIsSearchedForChosenOrReported) {
    bar.processes.uninstall(tool("dvipdfmx"));
    bar.files.write(beside(".dvi"), "dvi");
    // Found in a fixed directory: kept even when its run fails.
    installConverter(candidate("dvipdfmx", 1));
    codes = {1, 0};
    bar.ui.answers.push_back(Answer::Ok);
    EXPECT_EQ(convert(), 1);
    EXPECT_EQ(state.dvipdfCommand, candidate("dvipdfmx", 1));
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), candidate("dvipdfmx", 1));
    EXPECT_EQ(converterLines().back(), candidate("dvipdfmx", 1) + "  paper");

    // Nowhere: the selection follows, and its choice is not tried now.
    bar.processes.uninstall(candidate("dvipdfmx", 1));
    state.dvipdfCommand = "dvipdfmx";
    const std::string chosen = windows ? "D:\\tex\\dvipdfmx.exe" : "/opt/tex/dvipdfmx";
    bar.ui.answers.push_back(Answer::Ok);
    bar.ui.files.push_back(chosen);
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), chosen);
    // A named executable that is gone is reported, with no selection.
    bar.ui.boxes.clear();
    EXPECT_EQ(convert(), 0);
    EXPECT_EQ(bar.ui.boxes.size(), 1u);
    EXPECT_EQ(bar.ui.count("file dialog"), 1);
}

TEST_P(PdfTest, ThePdfOpensUnderTheWaitCursorAndIsMadeFirstWhenMissing) {
    bar.files.write(beside(".pdf"), "old pdf");
    bar.ui.shellResults = {true, false};
    bool cursorDuringBox = false;
    bar.ui.onMessage = [this, &cursorDuringBox](const MessageBoxRequest&) { cursorDuringBox = bar.ui.waitCursor; };
    openPdf(state, bar.services);
    openPdf(state, bar.services);
    EXPECT_TRUE(bar.processes.started().empty());
    EXPECT_EQ(bar.ui.shellOpens.at(0).file, "paper.pdf");
    EXPECT_EQ(bar.ui.shellOpens.at(0).directory, docDir);
    EXPECT_EQ(bar.ui.boxes.size(), 1u);
    EXPECT_TRUE(cursorDuringBox);
    EXPECT_FALSE(bar.ui.waitCursor);
    // Made first when missing: the converter's success opens it, even without a file.
    bar.files.remove(beside(".pdf"));
    writesPdf = false;
    queue(CompilerRun());
    openPdf(state, bar.services);
    EXPECT_EQ(programsRun(), (Texts{"platex", "dvipdfmx"}));
    EXPECT_EQ(bar.ui.shellOpens.size(), 3u);
}

// A road succeeds when every run ended with 0, the PDF was written (or was
// there, for the PDF button) and the viewer took it; else it says what failed.
TEST(RoadOutcome, EveryRoadIsJudgedByItsRunsItsPdfAndItsViewer) {
    const std::tuple<BarControl, std::vector<CompilerRun>, int, bool, bool, bool, std::string, std::size_t> rows[] = {
        {BarControl::OneClick, {CompilerRun()}, 0, true, false, true, "", 2},
        {BarControl::Tex, {CompilerRun().withLog("No file paper.bbl.\n"), CompilerRun().exitWith(1)}, 0, true, false, true,
         "platex exited with 1", 4},
        {BarControl::Tex, {CompilerRun().noDvi().killedBy(11)}, 0, true, false, true, "platex killed by signal 11", 1},
        {BarControl::OneClick, {CompilerRun().noDvi()}, 0, true, false, true, "platex wrote no DVI file", 1},
        {BarControl::Tex, {CompilerRun()}, 0, false, false, true, "dvipdfmx wrote no PDF file", 2},
        {BarControl::OneClick, {CompilerRun()}, 3, false, false, true, "dvipdfmx exited with 3", 2},
        {BarControl::Pdf, {}, 0, true, true, true, "", 0},
        // The first reason counts: a stop with an old DVI left, then no PDF.
        {BarControl::Pdf, {CompilerRun().withLog("\n? x\n")}, 0, false, false, true, "platex was stopped at its error prompt", 2},
        {BarControl::Pdf, {}, 0, true, true, false, "the viewer could not open the PDF file", 0},
        {BarControl::OneClick, {}, 0, true, false, true, "no document chosen", 0},
    };
    for (const auto& [button, runs, converterCode, writesPdf, pdfBefore, viewer, failure, runCount] : rows) {
        SCOPED_TRACE(failure);
        TexWorld w(false);
        for (const CompilerRun& run : runs) w.queue(run);
        w.installTool(w.tool("pbibtex"), 0);
        w.installTool(w.tool("dvipdfmx"), converterCode, writesPdf ? ".pdf" : nullptr);
        if (pdfBefore) w.bar.files.write(w.beside(".pdf"), "pdf");
        if (!viewer) w.bar.ui.shellResults.push_back(false);
        if (converterCode != 0) w.bar.ui.answers.push_back(Answer::Cancel);
        w.state.acrSetting = w.state.paperSizeSticky = 1;
        if (runs.empty() && !pdfBefore) w.state.documentStem.clear();
        BarWindow window(w.bar.services, "");
        window.state() = w.state;
        window.press(button);
        const RoadOutcome& road = window.lastRoad();
        EXPECT_EQ(std::tuple(road.succeeded, road.failure, road.runs.size()), std::tuple(failure.empty(), failure, runCount));
    }
}

INSTANTIATE_TEST_SUITE_P(Rules, PdfTest, ::testing::Bool(), rulesName);

}  // namespace
}  // namespace kestro::fake

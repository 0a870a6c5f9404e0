// How a press of a build button is judged: a road succeeds only when every
// tool run ended with 0, the PDF was written (or, for the PDF button, was
// there) and, where the road shows it, the viewer took it; otherwise the
// outcome says what failed.
#include <gtest/gtest.h>

#include "PipelineTestFixture.h"
#include "app/BarWindow.h"

namespace kestro::testing {
namespace {

struct Row {
    const char* name;
    BarControl button;
    std::vector<CompilerRun> compilerRuns;
    int converterCode = 0;
    bool converterWritesPdf = true;
    bool pdfBefore = false;
    int viewerResult = 42;
    bool noDocument = false;
    std::string failure;  // empty: the road succeeds
    std::size_t runs = 0;
};

TEST(RoadOutcome, EveryRoadIsJudgedByItsRunsItsPdfAndItsViewer) {
    const Row rows[] = {
        {"the whole road", BarControl::OneClick, {CompilerRun()}, 0, true, false, 42, false, "", 2},
        // The failed re-run is not examined by the compile, so a PDF is made.
        {"a re-run after the bibliography fails", BarControl::Tex,
         {CompilerRun().withLog("No file paper.bbl.\n"), CompilerRun().exitWith(1)}, 0, true, false, 42, false,
         "platex exited with 1", 4},
        {"a compiler killed by a signal", BarControl::Tex, {CompilerRun().noDvi().killedBy(11)}, 0, true, false, 42,
         false, "platex killed by signal 11", 1},
        {"a compiler that writes no DVI file", BarControl::OneClick, {CompilerRun().noDvi()}, 0, true, false, 42,
         false, "platex wrote no DVI file", 1},
        {"a converter that writes no PDF file", BarControl::Tex, {CompilerRun()}, 0, false, false, 42, false,
         "dvipdfmx wrote no PDF file", 2},
        {"a converter that fails", BarControl::OneClick, {CompilerRun()}, 3, false, false, 42, false,
         "dvipdfmx exited with 3", 2},
        {"the PDF button with the PDF there", BarControl::Pdf, {}, 0, true, true, 42, false, "", 0},
        {"a viewer that cannot open it", BarControl::Pdf, {}, 0, true, true, 2, false,
         "the viewer could not open the PDF file", 0},
        {"no document", BarControl::OneClick, {}, 0, true, false, 42, true, "no document chosen", 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        PipelineWorld w(false);
        w.installCompiler();
        for (const CompilerRun& run : row.compilerRuns) w.queueRun(run);
        w.installTool(w.toolPath("pbibtex"), 0);
        w.installTool(w.toolPath("dvipdfmx"), row.converterCode,
                      row.converterWritesPdf ? std::optional<std::string>(w.beside(".pdf")) : std::nullopt);
        if (row.pdfBefore) w.bar.files.write(w.beside(".pdf"), "pdf");
        if (row.viewerResult != 42) w.bar.ui.answerShellOpen(row.viewerResult);
        if (row.converterCode != 0) w.bar.ui.answerQuestion(Answer::Cancel);
        w.state.acrSetting = 1;
        w.state.paperSizeSticky = 1;
        if (row.noDocument) w.state.documentStem.clear();

        BarWindow window(w.bar.services, "");
        window.state() = w.state;
        window.press(row.button);

        const RoadOutcome& road = window.lastRoad();
        EXPECT_EQ(road.succeeded, row.failure.empty());
        EXPECT_EQ(road.failure, row.failure);
        EXPECT_EQ(road.runs.size(), row.runs);
    }
}

}  // namespace
}  // namespace kestro::testing

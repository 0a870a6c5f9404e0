// Tools that hang and are stopped, tools killed by a signal, and a document
// directory that vanishes while the road runs.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>

#include "FakeTexTools.h"
#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "build/Launcher.h"
#include "settings/IniText.h"

namespace kestro::faults {
namespace {

using std::chrono::steady_clock;

class ToolFaults : public ::testing::Test {
protected:
    ToolFaults() : tools(scratch), docDir(scratch / "doc" + "/"), bar(scratch / "Kestro.ini") {
        fs::create_directories(docDir);
        tools.useIn(state);
        state.documentPath = docDir + "paper.tex";
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentExt = ".tex";
    }

    std::string marker() const { return scratch / "started"; }
    // A snippet that marks the tool as started and then waits for ever in
    // place of the shell, so a signal reaches the waiting program itself.
    std::string hang(const std::string& beforeWaiting = "") const {
        return beforeWaiting + "echo $$ > '" + marker() + "'\nexec sleep 600";
    }
    // Stops the running tool from another thread once it has started, as
    // the bar's Stop button does; again until the wait has returned, in case
    // the first stop came before the bar knew of the tool.
    class Stopper {
    public:
        Stopper(const ToolFaults& test, std::function<void()> stop)
            : thread_([this, &test, stop] {
                  waitUntil([&] { return fs::exists(test.marker()) && fs::file_size(test.marker()) > 0; });
                  while (!done_) {
                      stop();
                      std::this_thread::sleep_for(std::chrono::milliseconds(100));
                  }
              }) {}
        ~Stopper() { join(); }
        void join() {
            done_ = true;
            if (thread_.joinable()) thread_.join();
        }

    private:
        std::atomic<bool> done_{false};
        std::thread thread_;
    };
    pid_t startedPid() const { return std::stoi(readFile(marker()).value_or("0")); }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTexTools tools;
    std::string docDir;
    RealBar bar;
    BarState state;
};

TEST_F(ToolFaults, AStoppedToolReadsAsEndedBySigtermOrSigkillNeverAsNotStarted) {
    const std::string tool = scratch / "bin/hanging";
    writeTool(tool, hang());
    fs::current_path(docDir);

    {
        Stopper stopper(*this, [] { stopRunningTool(); });
        EXPECT_EQ(runAndWait(bar.services, tool, {stemPart("paper")}), 128 + SIGTERM);
    }

    // A tool that ignores SIGTERM is killed 2 seconds later.
    fs::remove(marker());
    writeTool(tool, "trap '' TERM\n" + hang());
    {
        Stopper stopper(*this, [] { stopRunningTool(); });
        const auto start = steady_clock::now();
        EXPECT_EQ(runAndWait(bar.services, tool, {stemPart("paper")}), 128 + SIGKILL);
        EXPECT_LT(steady_clock::now() - start, std::chrono::seconds(20));
    }

    // A signal from elsewhere (the user's kill, the desktop's session end).
    fs::remove(marker());
    writeTool(tool, hang());
    {
        // Once only: the process id may be reused after the tool ended.
        Stopper stopper(*this, [this, sent = std::make_shared<bool>(false)] {
            if (!*sent) ::kill(startedPid(), SIGKILL);
            *sent = true;
        });
        EXPECT_EQ(runAndWait(bar.services, tool, {stemPart("paper")}), 128 + SIGKILL);
    }
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_F(ToolFaults, FirstRunStoppedAfterItsOutputGoesOnByTheRules) {
    // The first run's exit code is not examined: with a new DVI and a clean
    // log the compile succeeds.
    tools.compiler("[ $n = 1 ] && { " + hang() + "; }");
    Stopper stopper(*this, [] { stopRunningTool(); });
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    stopper.join();
    EXPECT_EQ(tools.recorded(), std::vector<std::string>{FakeTexTools::ran("platex", "[paper]", docDir)});
    EXPECT_TRUE(bar.ui.boxes().empty());
    EXPECT_FALSE(fs::exists(scratch / "Kestro.ini"));  // no recovery road stored anything
}

TEST_F(ToolFaults, ClosingRunStoppedEndsTheCompileAsAFailureWithoutAsking) {
    tools.compiler(
        "[ $n = 1 ] && printf 'LaTeX Warning: Label(s) may have changed.\\n' > \"$1.log\"\n"
        "[ $n = 2 ] && { " + hang() + "; }");
    Stopper stopper(*this, [] { stopRunningTool(); });
    EXPECT_EQ(compileDocument(state, bar.services), 0);
    stopper.join();
    EXPECT_EQ(tools.recorded().size(), 2u);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_F(ToolFaults, CompilerKilledInTheBibliographyRerunLeavesTheAnalysisToGoOn) {
    // A re-run that did not end with 0 is not examined; the final phase
    // decides from the log that is there.
    tools.compiler(
        "[ $n = 1 ] && printf 'No file paper.bbl.\\n' > \"$1.log\"\n"
        "[ $n = 2 ] && kill -SEGV $$");
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    EXPECT_EQ(tools.recorded(), (std::vector<std::string>{
                                    FakeTexTools::ran("platex", "[paper]", docDir),
                                    FakeTexTools::ran("pbibtex", "[paper]", docDir),
                                    FakeTexTools::ran("platex", "[paper]", docDir),
                                }));
    EXPECT_TRUE(bar.ui.boxes().empty());
    EXPECT_FALSE(fs::exists(scratch / "Kestro.ini"));
}

TEST_F(ToolFaults, IndexToolKilledBySignalIsAFailedStepNotAMissingTool) {
    writeTool(tools.indexTool(), recordLine(scratch / "record.txt") + "kill -KILL $$");
    tools.compiler("[ $n = 1 ] && printf '\\\\indexentry{a}{1}\\n' > \"$1.idx\"");
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    // No re-run for the index, and none of the questions of a tool that
    // cannot be started.
    ASSERT_EQ(tools.recorded().size(), 2u);
    EXPECT_EQ(tools.recorded()[1], FakeTexTools::ran("mendex", "[-s] [myindex] [paper]", docDir));
    // Only the index step's own notice of a failed run, with OK alone.
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].buttons, BoxButtons::Ok);
    EXPECT_NE(bar.ui.boxes()[0].text.find("mendex"), std::string::npos);
    EXPECT_EQ(state.indexCommand, tools.indexTool());
}

TEST_F(ToolFaults, DocumentDirectoryDeletedDuringTheRoadShowsTheFileErrorAndLosesNoSetting) {
    const std::string home = scratch / "home";
    fs::create_directories(home);
    const std::string settingsPath = home + "/Kestro.ini";
    const std::string stored = tools.settingsText() + "[Editor]\r\nEDIT=xdg-open\r\n[RFL]\r\nFile0=/home/user/old.tex\r\n";
    writeFile(settingsPath, stored);
    // The bibliography re-run takes the whole document directory with it.
    tools.compiler(
        "[ $n = 1 ] && printf 'No file paper.bbl.\\n' > \"$1.log\"\n"
        "[ $n = 2 ] && rm -rf \"$(pwd -P)\"");

    RealBar home_bar(settingsPath);
    BarWindow window(home_bar.services, docDir + "paper.tex");
    window.initialise();
    window.press(BarControl::Tex);

    FileError missingLog(FileErrorCause::NotFound, "paper.log");
    ASSERT_EQ(home_bar.ui.boxes().size(), 1u);
    EXPECT_EQ(home_bar.ui.boxes()[0].text, fileErrorText(missingLog));
    EXPECT_EQ(home_bar.ui.boxes()[0].icon, BoxIcon::Stop);
    EXPECT_EQ(tools.recorded().size(), 3u);  // platex, pbibtex, platex; no converter
    EXPECT_FALSE(fs::exists(docDir));

    // The bar stays usable: the next press names the missing directory and
    // starts nothing.
    window.press(BarControl::Tex);
    ASSERT_EQ(home_bar.ui.boxes().size(), 2u);
    EXPECT_EQ(home_bar.ui.boxes()[1].text, fileErrorText(FileError(FileErrorCause::NotFound, docDir)));
    EXPECT_EQ(tools.recorded().size(), 3u);

    // Nothing of Kestro.ini is lost, and the history is written back.
    window.endRun();
    const std::string text = readFile(settingsPath).value_or("");
    for (const char* key : {"TeX", "Bib", "MkIdx", "DviPdf", "MkIdxOpt", "MkIdxNvr", "PdfNeShow", "PdfSizeNo", "Acr"}) {
        EXPECT_EQ(iniLookup(text, "Settings", key), iniLookup(stored, "Settings", key)) << key;
    }
    EXPECT_EQ(iniLookup(text, "Editor", "EDIT"), "xdg-open");
    EXPECT_EQ(iniLookup(text, "RFL", "File0"), docDir + "paper.tex");
    EXPECT_EQ(iniLookup(text, "RFL", "File1"), "/home/user/old.tex");
    EXPECT_TRUE(isWholeIniFile(text));
}

}  // namespace
}  // namespace kestro::faults

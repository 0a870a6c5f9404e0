// Tools that hang and are stopped, tools killed by a signal, and a document
// directory that vanishes while the road runs.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "build/CompileDocument.h"
#include "build/FileError.h"
#include "build/Launcher.h"
#include "settings/IniText.h"
#include "settings/SettingsLoad.h"

namespace kestro::faults {
namespace {

class ToolFaults : public ::testing::Test {
protected:
    ToolFaults() : tools(scratch), docDir(scratch / "doc" + "/"), bar(settingsPath) {
        fs::create_directories(docDir);
        writeFile(settingsPath, stored);
        loadPaperGroup(state, bar.settings);
        loadToolGroup(state, bar.settings, bar.services.rules);
        state.documentPath = docDir + "paper.tex";
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentExt = ".tex";
    }

    std::string marker() const { return scratch / "started"; }
    // Marks the tool as started, then waits in place of the shell, so a
    // signal reaches the waiting program itself.
    std::string hang() const { return "echo $$ > '" + marker() + "'\nexec sleep 600"; }

    // Once the tool has started, calls `stop` from another thread every
    // 100 ms until the test's wait has returned, as the Stop button would.
    class Stopper {
    public:
        Stopper(const ToolFaults& test, std::function<void()> stop)
            : thread_([this, &test, stop] {
                  waitUntil([&] { return fs::exists(test.marker()) && fs::file_size(test.marker()) > 0; });
                  for (; !done_; std::this_thread::sleep_for(std::chrono::milliseconds(100))) stop();
              }) {}
        ~Stopper() {
            done_ = true;
            thread_.join();
        }

    private:
        std::atomic<bool> done_{false};
        std::thread thread_;
    };

    int runStopped(const std::string& script, std::function<void()> stop) {
        fs::remove(marker());
        writeTool(tool, script);
        Stopper stopper(*this, std::move(stop));
        return runAndWait(bar.services, tool, {stemPart("paper")});
    }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTexTools tools;
    std::string settingsPath = scratch / "Kestro.ini";
    std::string stored = tools.settingsText() + "[Editor]\r\nEDIT=xdg-open\r\n[RFL]\r\nFile0=/home/user/old.tex\r\n";
    std::string docDir;
    RealBar bar;
    BarState state;
    std::string tool = scratch / "bin/hanging";
};

TEST_F(ToolFaults, AStoppedToolReadsAsEndedBySigtermOrSigkillNeverAsNotStarted) {
    fs::current_path(docDir);
    EXPECT_EQ(runStopped(hang(), [] { stopRunningTool(); }), 128 + SIGTERM);

    // A tool that ignores SIGTERM is killed 2 seconds later.
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runStopped("trap '' TERM\n" + hang(), [] { stopRunningTool(); }), 128 + SIGKILL);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));

    // A signal from elsewhere, sent once: the process id may be reused.
    bool sent = false;
    EXPECT_EQ(runStopped(hang(),
                         [&] {
                             const pid_t pid = std::atoi(readFile(marker()).value_or("0").c_str());
                             if (!sent && pid > 0) ::kill(pid, SIGKILL);
                             sent = true;
                         }),
              128 + SIGKILL);
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST_F(ToolFaults, ToolsKilledBySignalAreFailedStepsNotMissingTools) {
    // The bibliography re-run dies; a re-run's exit code is not examined.
    // Then the index tool dies: its own notice only, no re-run for it, and
    // none of the questions about a tool that cannot be started.
    tools.compiler("[ $n = 1 ] && { printf 'No file paper.bbl.\\n' > \"$1.log\"; printf '\\\\indexentry{a}{1}\\n' > \"$1.idx\"; }\n"
                   "[ $n = 2 ] && kill -SEGV $$");
    writeTool(tools.indexTool(), tools.recordLine() + "kill -KILL $$");
    EXPECT_EQ(compileDocument(state, bar.services), 1);
    EXPECT_EQ(tools.recorded(), (std::vector<std::string>{
                                    FakeTexTools::ran("platex", "[paper]", docDir),
                                    FakeTexTools::ran("pbibtex", "[paper]", docDir),
                                    FakeTexTools::ran("platex", "[paper]", docDir),
                                    FakeTexTools::ran("mendex", "[-s] [myindex] [paper]", docDir),
                                }));
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].buttons, BoxButtons::Ok);
    EXPECT_NE(bar.ui.boxes()[0].text.find("mendex"), std::string::npos);
    EXPECT_EQ(state.indexCommand, tools.indexTool());
    EXPECT_EQ(readFile(settingsPath), stored);  // no recovery road stored anything
}

TEST_F(ToolFaults, DocumentDirectoryDeletedDuringTheRoadShowsTheFileErrorAndLosesNoSetting) {
    // The bibliography re-run takes the whole document directory with it.
    tools.compiler("[ $n = 1 ] && printf 'No file paper.bbl.\\n' > \"$1.log\"\n"
                   "[ $n = 2 ] && rm -rf \"$(pwd -P)\"");

    BarWindow window(bar.services, docDir + "paper.tex");
    window.initialise();
    window.press(BarControl::Tex);
    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].text, fileErrorText(FileError(FileErrorCause::NotFound, "paper.log")));
    EXPECT_EQ(bar.ui.boxes()[0].icon, BoxIcon::Stop);
    EXPECT_EQ(tools.recorded().size(), 3u);  // platex, pbibtex, platex; no converter

    // The bar stays usable: the next press names the missing directory and
    // starts nothing.
    window.press(BarControl::Tex);
    ASSERT_EQ(bar.ui.boxes().size(), 2u);
    EXPECT_EQ(bar.ui.boxes()[1].text, fileErrorText(FileError(FileErrorCause::NotFound, docDir)));
    EXPECT_EQ(tools.recorded().size(), 3u);

    // Nothing of Kestro.ini is lost, and the history is written back.
    window.endRun();
    const std::string text = readFile(settingsPath).value_or("");
    EXPECT_TRUE(isWholeIniFile(text));
    for (const char* key : {"TeX", "Bib", "MkIdx", "DviPdf", "MkIdxOpt", "MkIdxNvr", "PdfNeShow", "PdfSizeNo", "Acr"}) {
        EXPECT_EQ(iniLookup(text, "Settings", key), iniLookup(stored, "Settings", key)) << key;
    }
    EXPECT_EQ(iniLookup(text, "Editor", "EDIT"), "xdg-open");
    EXPECT_EQ(iniLookup(text, "RFL", "File0"), docDir + "paper.tex");
    EXPECT_EQ(iniLookup(text, "RFL", "File1"), "/home/user/old.tex");
}

}  // namespace
}  // namespace kestro::faults

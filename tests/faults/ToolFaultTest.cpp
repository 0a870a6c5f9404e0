// Tools that hang and are stopped, a document directory that vanishes
// while the road runs, and a document with Japanese names and blanks in
// its path through the whole bar.
#include <atomic>

#include "FaultSupport.h"
#include "build/Launcher.h"

namespace kestro::faults {
namespace {

class ToolFaults : public ::testing::Test {
protected:
    ToolFaults() { writeFile(settingsPath, stored); }

    // Starts a bar on `commandTail`, presses the TeX button and closes the
    // bar; then gives the state of a second bar started on the same file.
    BarState buildThroughTheBar(const std::string& commandTail) {
        RealBar first(settingsPath);
        BarWindow window(first.services, commandTail);
        window.initialise();
        window.press(BarControl::Tex);
        EXPECT_EQ(first.ui.boxTexts(), std::vector<std::string>{});
        window.endRun();
        RealBar second(settingsPath);
        BarWindow again(second.services, "");
        again.initialise();
        return again.state();
    }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTex tex{scratch};
    std::string settingsPath = scratch / "Kestro.ini";
    std::string stored = tex.settingsText() + "[RFL]\r\nFile0=/home/user/old.tex\r\n";
};

// A tool stopped by the bar reads as ended by SIGTERM, or by SIGKILL two
// seconds later when it ignores SIGTERM; one killed from elsewhere as ended
// by that signal. None reads as a tool that never started.
TEST_F(ToolFaults, AStoppedToolReadsAsEndedByItsSignal) {
    RealBar bar(settingsPath);
    const std::string marker = scratch / "started", tool = scratch / "bin/hanging";
    const auto runStopped = [&](const std::string& prefix, const std::function<void()>& stop) {
        fs::remove(marker);
        writeScript(tool, prefix + "echo $$ > '" + marker + "'\nexec sleep 600");
        std::atomic<bool> done{false};
        std::thread stopper([&] {
            waitUntil([&] { return fs::exists(marker) && fs::file_size(marker) > 0; });
            for (; !done; std::this_thread::sleep_for(std::chrono::milliseconds(100))) stop();
        });
        const auto start = std::chrono::steady_clock::now();
        const int code = runAndWait(bar.services, tool, {stemPart("paper")});
        done = true;
        stopper.join();
        return std::pair{code, std::chrono::steady_clock::now() - start};
    };
    const auto [term, termTook] = runStopped("", [] { stopRunningTool(); });
    EXPECT_EQ(term, 128 + SIGTERM);
    EXPECT_LT(termTook, std::chrono::milliseconds(1500));
    const auto [kill, killTook] = runStopped("trap '' TERM\n", [] { stopRunningTool(); });
    EXPECT_EQ(kill, 128 + SIGKILL);
    EXPECT_GT(killTook, std::chrono::milliseconds(1900));
    bool sent = false;  // once: the process id may be reused
    EXPECT_EQ(runStopped("",
                         [&] {
                             if (!sent) ::kill(std::atoi(readFile(marker).value_or("0").c_str()), SIGKILL);
                             sent = true;
                         })
                  .first,
              128 + SIGKILL);
}

// The bibliography re-run takes the whole document directory with it: the
// file-error box, the bar stays usable, and nothing of Kestro.ini is lost.
TEST_F(ToolFaults, ADocumentDirectoryDeletedDuringTheRoadShowsTheFileErrorAndLosesNoSetting) {
    const std::string docDir = scratch / "doc/";
    fs::create_directories(docDir);
    tex.compiler("[ $n = 1 ] && printf 'No file paper.bbl.\\n' > \"$1.log\"\n[ $n = 2 ] && rm -rf \"$(pwd -P)\"");
    RealBar bar(settingsPath);
    BarWindow window(bar.services, docDir + "paper.tex");
    window.initialise();
    window.press(BarControl::Tex);
    window.press(BarControl::Tex);
    EXPECT_EQ(bar.ui.boxTexts(), (std::vector<std::string>{fileErrorText(FileError(FileErrorCause::NotFound, "paper.log")),
                                                           fileErrorText(FileError(FileErrorCause::NotFound, docDir))}));
    EXPECT_EQ(tex.recorded().size(), 3u);  // platex, pbibtex, platex; then nothing
    window.endRun();
    const std::string text = readFile(settingsPath).value_or("");
    for (const char* key : {"TeX", "Bib", "MkIdx", "DviPdf", "MkIdxOpt", "MkIdxNvr", "PdfNeShow", "PdfSizeNo", "Acr"}) {
        EXPECT_EQ(iniLookup(text, "Settings", key), iniLookup(stored, "Settings", key)) << key;
    }
    EXPECT_EQ(iniLookup(text, "RFL", "File0"), docDir + "paper.tex");
    EXPECT_EQ(iniLookup(text, "RFL", "File1"), "/home/user/old.tex");
}

// 表 and ソ end in a backslash byte in CP932; here they are UTF-8 and go
// through untouched, the command line's quotes taken off.
TEST_F(ToolFaults, QuotedJapaneseNamesWithBlanksGoThroughTheWholeRoad) {
    const std::string directory = scratch / "論文 フォルダ/表 ソース/", stem = "第1章 能力";
    writeFile(directory + stem + ".tex", "\\documentclass{jarticle}\n");
    tex.compiler("[ $n = 1 ] && { printf 'No file %s.bbl.\\n' \"$1\" > \"$1.log\"; printf 'i' > \"$1.idx\"; }");
    const BarState restarted = buildThroughTheBar("\"" + directory + stem + ".tex\"");
    const std::string word = "[" + stem + "]";
    EXPECT_EQ(tex.recorded(), (std::vector<std::string>{
                                  FakeTex::ran("platex", word, directory), FakeTex::ran("pbibtex", word, directory),
                                  FakeTex::ran("platex", word, directory),
                                  FakeTex::ran("mendex", "[-s] [myindex] " + word, directory),
                                  FakeTex::ran("platex", word, directory), FakeTex::ran("dvipdfmx", word, directory)}));
    EXPECT_EQ(restarted.documentPath, directory + stem + ".tex");
    EXPECT_EQ(restarted.documentStem, stem);
}

}  // namespace
}  // namespace kestro::faults

// Faults on the real Linux platform: Kestro.ini on a full disk, written by
// two bars at once or by a bar killed mid-write; tools that hang and are
// stopped; a document directory that vanishes while the road runs.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <atomic>

#include "FakePlatform.h"
#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixSupport.h"
#include "PosixTextFileStore.h"
#include "app/BarWindow.h"
#include "pipeline/Launcher.h"

namespace kestro::faults {
namespace {

using namespace posixtest;

struct RealBar {
    explicit RealBar(const std::string& settingsPath)
        : settings(profile, settingsPath), services{PlatformRules::posix(), settings, files, processes, ui, ui, "Kestro", &ui} {}

    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
    PosixFileSystem files;
    PosixProcesses processes{StdinMode::Empty};
    fake::ScriptedUi ui;
    Services services;
};

// True when `text` is a whole INI file as the bar writes it: every line a
// section or a key line, ended by CR LF.
bool isWholeIniFile(const std::string& text) {
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (in.eof() || !line.ends_with('\r')) return false;
        line.pop_back();
        const bool section = line.starts_with('[') && line.ends_with(']');
        if (!section && (line.find('=') == 0 || line.find('=') == std::string::npos)) return false;
    }
    return true;
}

// The names beside Kestro.ini that start with its name: what a write left.
std::vector<std::string> strayFiles(const fs::path& directory) {
    std::vector<std::string> stray;
    for (const auto& entry : fs::directory_iterator(directory)) {
        const std::string name = entry.path().filename().string();
        if (name != "Kestro.ini" && name.rfind("Kestro.ini", 0) == 0) stray.push_back(name);
    }
    return stray;
}

const std::string kTeX = "/usr/local/texlive/bin/platex";
const std::string kStored = "[Settings]\r\nPdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=3\r\nTeX=" + kTeX +
                            "\r\nBib=pbibtex\r\n[RFL]\r\nFile0=/home/user/論文/paper.tex\r\n";

struct SettingsFaults : ::testing::Test {
    SettingsFaults() { writeFile(path, kStored); }
    ScratchDirectory scratch;
    std::string path = scratch / "Kestro.ini";
};

// A run in which no write succeeds (the start-up's reset of the paper keys,
// a key stored and one deleted, a drop, the history): the user hears of it
// once, and reads give what the file held. Run in a child: 1 when a check failed.
int runBarThatCannotWrite(const std::string& path) {
    RealBar bar(path);
    BarWindow window(bar.services, "");
    window.initialise();
    bar.settings.writeSettingString("Settings", "TeX", "/opt/tex/bin/platex");
    bar.settings.deleteSetting("Settings", "Bib");
    window.acceptDroppedFile({"/home/user/new.tex"});
    window.endRun();
    const bool ok = bar.ui.boxTexts() == std::vector<std::string>{settingsWriteFailureText(path)} &&
                    bar.settings.readSettingString("Settings", "TeX") == kTeX &&
                    bar.settings.readSettingString("Settings", "Bib") == "pbibtex";
    return ok && !::testing::Test::HasFailure() ? 0 : 1;
}

// A file size limit stands in for a full disk: writes past it fail as they
// would with ENOSPC, once SIGXFSZ is ignored.
TEST_F(SettingsFaults, AFullDiskKeepsTheFileAndTellsTheUserOnce) {
    const rlimit limit{64, 64};
    EXPECT_EQ(inChild([&] { ::signal(SIGXFSZ, SIG_IGN); return ::setrlimit(RLIMIT_FSIZE, &limit) ? 2 : runBarThatCannotWrite(path); }), 0);
    EXPECT_EQ(readFile(path), kStored);
    EXPECT_EQ(strayFiles(scratch.path()), std::vector<std::string>{});
}

// A third party reads while two bars write: every snapshot is a whole file,
// never absent, and in the end no key of either bar is lost.
TEST_F(SettingsFaults, TwoBarsWritingAtOnceLoseNoKeyAndNeverShowABrokenFile) {
    constexpr int kWrites = 120;
    std::vector<pid_t> writers;
    for (const char* prefix : {"BarA", "BarB"}) {
        writers.push_back(::fork());
        if (writers.back() != 0) continue;
        RealBar bar(path);
        for (int i = 0; i < kWrites; ++i) bar.settings.writeSettingString("Settings", prefix + std::to_string(i), "v");
        ::_exit(bar.ui.boxes.empty() ? 0 : 3);
    }
    int status[2] = {-1, -1}, broken = 0;
    const auto done = [&](int i) { return status[i] != -1 || ::waitpid(writers[i], &status[i], WNOHANG) == writers[i]; };
    for (;;) {
        const bool first = done(0), second = done(1);  // both asked, so each is reaped at once
        if (first && second) break;
        const std::optional<std::string> text = PosixTextFileStore().read(path);
        broken += !text || !isWholeIniFile(*text) || iniLookup(*text, "Settings", "TeX") != kTeX;
    }
    for (int s : status) EXPECT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) == 0);
    EXPECT_EQ(broken, 0);
    const std::string text = readFile(path).value_or("");
    for (int i = 0; i < kWrites; ++i) {
        for (const char* prefix : {"BarA", "BarB"}) EXPECT_TRUE(iniLookup(text, "Settings", prefix + std::to_string(i)));
    }
    EXPECT_EQ(strayFiles(scratch.path()), std::vector<std::string>{});
}

// A varying delay lets the kill fall into different moments of a write:
// the file is always the old or the new one, and at most the temporary of
// the write under way is left; the next write clears it.
TEST_F(SettingsFaults, AWriterKilledMidWriteLeavesTheOldOrTheNewFileAndNoPileOfTemporaries) {
    const auto big = [](int write) { return "write " + std::to_string(write) + ":" + std::string(40000, 'x'); };
    for (int round = 0; round < 16; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RealBar bar(path);
            for (int i = 0;; ++i) bar.settings.writeSettingString("Settings", "Big", big(i));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + 2300 * round));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        const std::string text = readFile(path).value_or("");
        ASSERT_TRUE(isWholeIniFile(text)) << "round " << round;
        if (const std::optional<std::string> value = iniLookup(text, "Settings", "Big")) {
            EXPECT_EQ(*value, big(std::atoi(value->c_str() + 6)));
        }
        EXPECT_LE(strayFiles(scratch.path()).size(), 1u) << "round " << round;
    }
    RealBar bar(path);
    bar.settings.writeSettingString("Settings", "Big", "done");
    EXPECT_EQ(bar.settings.readSettingString("Settings", "Big"), "done");
    EXPECT_EQ(strayFiles(scratch.path()), std::vector<std::string>{});
}

class ToolFaults : public ::testing::Test {
protected:
    ToolFaults() { writeFile(settingsPath, stored); }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTex tex{scratch};
    std::string settingsPath = scratch / "Kestro.ini";
    // The tools, no dialogs, and a history.
    std::string stored = "[Settings]\r\nTeX=" + tex.path("platex") + "\r\nBib=" + tex.path("pbibtex") + "\r\nMkIdx=" +
                         tex.path("mendex") + "\r\nDviPdf=" + tex.path("dvipdfmx") +
                         "\r\nMkIdxNvr=1\r\nPdfNeShow=1\r\nPdfSizeNo=1\r\nAcr=1\r\n[RFL]\r\nFile0=/home/user/old.tex\r\n";
};

// A tool stopped by the bar ends by SIGTERM, or by SIGKILL two seconds later
// when it ignores SIGTERM; one killed from elsewhere by that signal.
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
    const auto killOnce = [&] { if (!std::exchange(sent, true)) ::kill(std::atoi(readFile(marker).value_or("0").c_str()), SIGKILL); };
    EXPECT_EQ(runStopped("", killOnce).first, 128 + SIGKILL);
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
    for (const char* key : {"TeX", "Bib", "MkIdx", "DviPdf", "MkIdxNvr", "PdfNeShow", "PdfSizeNo", "Acr"}) {
        EXPECT_EQ(iniLookup(text, "Settings", key), iniLookup(stored, "Settings", key)) << key;
    }
    EXPECT_EQ(iniLookup(text, "RFL", "File0"), docDir + "paper.tex");
    EXPECT_EQ(iniLookup(text, "RFL", "File1"), "/home/user/old.tex");
}

}  // namespace
}  // namespace kestro::faults

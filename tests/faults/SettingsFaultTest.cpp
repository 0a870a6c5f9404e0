// Kestro.ini under faults: a directory the bar may not write, a full disk,
// two bars writing at once, a bar killed in the middle of a write.
#include <gtest/gtest.h>

#include <sys/resource.h>
#include <sys/wait.h>

#include <chrono>
#include <cstdio>
#include <thread>

#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "settings/IniText.h"

namespace kestro::faults {
namespace {

const std::string kTeX = "/usr/local/texlive/bin/platex";
const std::string kPaper = "/home/user/論文/paper.tex";
const std::string kStoredSettings = "[Settings]\r\nPdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=3\r\nTeX=" + kTeX +
                                    "\r\nBib=pbibtex\r\n[Editor]\r\nEDIT=xdg-open\r\n[RFL]\r\nFile0=" + kPaper + "\r\n";

struct SettingsFaults : ::testing::Test {
    SettingsFaults() { writeFile(path, kStoredSettings); }
    ScratchDirectory scratch;
    std::string path = scratch / "Kestro.ini";
};

// A whole run in which no write can succeed (start-up reset of the paper
// keys, stored and deleted keys, a drop, the history at the end): the user
// hears of it once, with the bar's plain OK box, and every read still gives
// what the file held. Run in a child: its exit code is 1 when a check failed.
int runBarThatCannotWrite(const std::string& path) {
    std::string failed;
    const auto check = [&](bool ok, const char* what) { failed += ok ? "" : std::string(what) + "\n"; };
    RealBar bar(path);
    BarWindow window(bar.services, "");
    window.initialise();
    bar.settings.writeSettingString("Settings", "TeX", "/opt/tex/bin/platex");
    bar.settings.deleteSetting("Settings", "Bib");
    window.acceptDroppedFile({"/home/user/new.tex"});
    window.endRun();

    check(!bar.profile.writeString(path, "Settings", "DviPdf", std::string("x")), "a write reported success");
    check(bar.ui.boxTexts() == std::vector<std::string>{settingsWriteFailureText(path)}, "not told exactly once");
    for (const MessageBoxRequest& box : bar.ui.boxes()) {
        check(box.owner == BoxOwner::Bar && box.buttons == BoxButtons::Ok && box.icon == BoxIcon::None &&
                  box.caption == "Kestro",
              "the notice is not the bar's plain OK box");
    }
    check(bar.settings.readSettingString("Settings", "TeX") == kTeX, "the stored compiler no longer reads back");
    check(bar.settings.readSettingString("Settings", "Bib", "<absent>") == "pbibtex", "the deleted key is gone");
    std::fputs(failed.c_str(), stderr);
    return failed.empty() && !::testing::Test::HasFailure() ? 0 : 1;
}

TEST_F(SettingsFaults, ReadOnlyDirectoryKeepsTheFileAndTellsTheUserOnce) {
    ::chmod(path.c_str(), 0644);
    ::chmod(scratch.path().c_str(), 0555);
    // A scratch directory inside a private one cannot be reached at all.
    const int exitCode = inChild([&] { return ::access(path.c_str(), R_OK) != 0 ? 77 : runBarThatCannotWrite(path); }, true);
    if (exitCode == 77) GTEST_SKIP() << "cannot run as an unprivileged user that reaches the file";
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(readFile(path), kStoredSettings);
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

TEST_F(SettingsFaults, FullDiskKeepsTheFileLeavesNoTemporaryAndTellsTheUserOnce) {
    EXPECT_EQ(inChild([&] {
                  // A file size limit stands in for a full disk: writes past it
                  // fail with EFBIG as they would with ENOSPC, once SIGXFSZ is ignored.
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{64, 64};
                  return ::setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 2 : runBarThatCannotWrite(path);
              }),
              0);
    EXPECT_EQ(readFile(path), kStoredSettings);
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

TEST_F(SettingsFaults, TwoBarsWritingAtOnceLoseNoKeyAndNeverShowABrokenFile) {
    constexpr int kWrites = 120;
    const auto writer = [&](const std::string& prefix) {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        RealBar bar(path);
        for (int i = 0; i < kWrites; ++i) bar.settings.writeSettingString("Settings", prefix + std::to_string(i), "v");
        ::_exit(bar.ui.boxes().empty() ? 0 : 3);  // a failed write shows the notice
    };
    const pid_t pids[2] = {writer("BarA"), writer("BarB")};
    ASSERT_GT(pids[0], 0);
    ASSERT_GT(pids[1], 0);

    // A third party reads while both write: every snapshot is a whole file,
    // never absent: it is replaced by a rename.
    int status[2] = {-1, -1}, snapshots = 0, broken = 0;
    const auto done = [&](int i) { return status[i] != -1 || ::waitpid(pids[i], &status[i], WNOHANG) == pids[i]; };
    for (;;) {
        const bool firstDone = done(0), secondDone = done(1);  // both asked, so each is reaped at once
        if (firstDone && secondDone) break;
        const std::optional<std::string> text = PosixTextFileStore().read(path);
        ++snapshots;
        broken += !text || !isWholeIniFile(*text) || iniLookup(*text, "Settings", "TeX") != kTeX;
    }
    for (int s : status) EXPECT_TRUE(WIFEXITED(s) && WEXITSTATUS(s) == 0);
    EXPECT_GT(snapshots, 0);
    EXPECT_EQ(broken, 0);

    const std::string text = readFile(path).value_or("");
    EXPECT_TRUE(isWholeIniFile(text));
    for (int i = 0; i < kWrites; ++i) {
        for (const char* prefix : {"BarA", "BarB"}) EXPECT_TRUE(iniLookup(text, "Settings", prefix + std::to_string(i))) << prefix << i;
    }
    EXPECT_EQ(iniLookup(text, "RFL", "File0"), kPaper);
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

std::string bigValue(int write) { return "write " + std::to_string(write) + ":" + std::string(40000, 'x'); }

TEST_F(SettingsFaults, KilledInTheMiddleOfAWriteLeavesTheOldOrTheNewFileAndNoPileOfTemporaries) {
    for (int round = 0; round < 16; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RealBar bar(path);
            for (int i = 0;; ++i) bar.settings.writeSettingString("Settings", "Big", bigValue(i));
        }
        // A varying delay lets the kill fall into different moments of a
        // write: the temporary file, the sync, the rename.
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + 2300 * round));
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);

        const std::string text = readFile(path).value_or("");
        ASSERT_TRUE(isWholeIniFile(text)) << "round " << round;
        EXPECT_EQ(iniLookup(text, "RFL", "File0"), kPaper);
        if (const std::optional<std::string> big = iniLookup(text, "Settings", "Big")) {
            EXPECT_EQ(*big, bigValue(std::atoi(big->c_str() + 6)));
        }
        // At most the temporary being written when the kill came; earlier
        // ones are cleared by the next write.
        EXPECT_LE(strayFiles(scratch.path(), "Kestro.ini").size(), 1u) << "round " << round;
    }
    RealBar bar(path);
    bar.settings.writeSettingString("Settings", "Big", "done");
    EXPECT_EQ(bar.settings.readSettingString("Settings", "Big"), "done");
    EXPECT_TRUE(bar.ui.boxes().empty());
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

}  // namespace
}  // namespace kestro::faults

// Kestro.ini under faults: a directory the bar may not write, a full disk,
// two bars writing at once, a bar killed in the middle of a write.
#include <sys/resource.h>

#include "FaultSupport.h"

namespace kestro::faults {
namespace {

const std::string kTeX = "/usr/local/texlive/bin/platex";
const std::string kStored = "[Settings]\r\nPdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=3\r\nTeX=" + kTeX +
                            "\r\nBib=pbibtex\r\n[RFL]\r\nFile0=/home/user/論文/paper.tex\r\n";

struct SettingsFaults : ::testing::Test {
    SettingsFaults() { writeFile(path, kStored); }
    ScratchDirectory scratch;
    std::string path = scratch / "Kestro.ini";
};

// A whole run in which no write succeeds (the start-up's reset of the paper
// keys, a stored and a deleted key, a drop, the history at the end): the
// user hears of it once, and every read still gives what the file held.
// Run in a child: it exits with 1 when a check failed.
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

TEST_F(SettingsFaults, AReadOnlyDirectoryOrAFullDiskKeepsTheFileAndTellsTheUserOnce) {
    ::chmod(scratch.path().c_str(), 0555);
    const int readOnly = inChild([&] { return ::access(path.c_str(), R_OK) != 0 ? 77 : runBarThatCannotWrite(path); }, true);
    if (readOnly != 77) {
        EXPECT_EQ(readOnly, 0);
    }
    ::chmod(scratch.path().c_str(), 0755);
    // A file size limit stands in for a full disk: writes past it fail as
    // they would with ENOSPC, once SIGXFSZ is ignored.
    EXPECT_EQ(inChild([&] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  const rlimit limit{64, 64};
                  return ::setrlimit(RLIMIT_FSIZE, &limit) != 0 ? 2 : runBarThatCannotWrite(path);
              }),
              0);
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

}  // namespace
}  // namespace kestro::faults

// Kestro.ini under faults: a directory the bar may not write, a full disk,
// two bars writing at once, a bar killed in the middle of a write.
#include <gtest/gtest.h>

#include <sys/resource.h>

#include <set>

#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "settings/IniText.h"

namespace kestro::faults {
namespace {

const std::string kStoredSettings =
    "[Settings]\r\n"
    "PdfNShow=1\r\n"
    "PdfNeShow=0\r\n"
    "PdfSizeNo=3\r\n"
    "TeX=/usr/local/texlive/bin/platex\r\n"
    "Bib=pbibtex\r\n"
    "MkIdxOpt=-s myindex\r\n"
    "[Editor]\r\n"
    "EDIT=xdg-open\r\n"
    "[RFL]\r\n"
    "File0=/home/user/論文/paper.tex\r\n"
    "File1=/home/user/report.tex\r\n";

// What the bar goes through in a run in which no write can succeed: the
// start-up load resets the paper keys, a tool and the converter flag are
// stored, a key is deleted, a document is dropped and the history written
// back. The user must hear of it exactly once, and every read must still
// give what the file held.
std::string runBarThatCannotWrite(const std::string& path) {
    ChildChecks checks;
    RealBar bar(path);
    BarWindow window(bar.services, "");
    window.initialise();
    bar.settings.writeSettingString("Settings", "TeX", "/opt/tex/bin/platex");
    bar.settings.deleteSetting("Settings", "Bib");
    bar.settings.writeSettingInt("Settings", "Acr", 1);
    window.acceptDroppedFile({"/home/user/new.tex"});
    window.endRun();

    checks.check(!bar.profile.writeString(path, "Settings", "DviPdf", std::string("/opt/dvipdfmx")),
                 "a write to the settings file reported success");
    checks.equal(bar.ui.boxTexts(), std::vector<std::string>{settingsWriteFailureText(path)},
                 "the user was not told exactly once that settings are not kept");
    if (!bar.ui.boxes().empty()) {
        const MessageBoxRequest& box = bar.ui.boxes().front();
        checks.check(box.owner == BoxOwner::Bar && box.buttons == BoxButtons::Ok && box.icon == BoxIcon::None &&
                         box.caption == "Kestro",
                     "the notice is not the bar's plain OK box");
    }
    checks.equal(bar.settings.readSettingString("Settings", "TeX"), std::string("/usr/local/texlive/bin/platex"),
                 "the stored compiler no longer reads back");
    checks.equal(bar.settings.readSettingString("Settings", "Bib", "<absent>"), std::string("pbibtex"),
                 "the stored bibliography tool no longer reads back");
    return checks.report();
}

TEST(SettingsFaults, ReadOnlyDirectoryKeepsTheFileAndTellsTheUserOnce) {
    ScratchDirectory scratch;
    const std::string path = scratch / "Kestro.ini";
    writeFile(path, kStoredSettings);
    ::chmod(path.c_str(), 0644);
    ::chmod(scratch.path().c_str(), 0555);

    const ChildResult child = runInChild([&] {
        if (!dropRootPrivileges()) return std::string("SKIP");
        // A temporary directory inside a private one cannot be reached at all.
        if (::access(path.c_str(), R_OK) != 0) return std::string("SKIP");
        return runBarThatCannotWrite(path);
    });
    if (child.report == "SKIP") GTEST_SKIP() << "cannot run as an unprivileged user that reaches the file";
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(child.report, "");
    EXPECT_EQ(readFile(path), kStoredSettings);
    EXPECT_EQ(directoryNames(scratch.path()), std::vector<std::string>{"Kestro.ini"});
}

TEST(SettingsFaults, FullDiskKeepsTheFileLeavesNoTemporaryAndTellsTheUserOnce) {
    ScratchDirectory scratch;
    const std::string path = scratch / "Kestro.ini";
    writeFile(path, kStoredSettings);

    const ChildResult child = runInChild([&] {
        // A file size limit stands in for a full disk: writes past it fail
        // with EFBIG, as they fail with ENOSPC on a full disk, once the
        // signal that would otherwise end the process is ignored.
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return std::string("setrlimit failed\n");
        return runBarThatCannotWrite(path);
    });
    EXPECT_EQ(child.exitCode, 0);
    EXPECT_EQ(child.report, "");
    EXPECT_EQ(readFile(path), kStoredSettings);
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

// The keys "<prefix>0" ... of one bar that a snapshot of the file holds.
std::set<int> keysOf(const std::string& text, const std::string& prefix) {
    std::set<int> found;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(prefix, 0) != 0) continue;
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        found.insert(std::stoi(line.substr(prefix.size(), equals - prefix.size())));
    }
    return found;
}

TEST(SettingsFaults, TwoBarsWritingAtOnceLoseNoKeyAndNeverShowABrokenFile) {
    constexpr int kWrites = 120;
    ScratchDirectory scratch;
    const std::string path = scratch / "Kestro.ini";
    writeFile(path, kStoredSettings);

    const auto writer = [&](const std::string& prefix) {
        const pid_t pid = ::fork();
        if (pid != 0) return pid;
        RealBar bar(path);
        for (int i = 0; i < kWrites; ++i) {
            bar.settings.writeSettingString("Settings", prefix + std::to_string(i), prefix + " value " + std::to_string(i));
        }
        // A failed write would have shown the notice.
        ::_exit(bar.ui.boxes().empty() ? 0 : 3);
    };
    const pid_t first = writer("BarA");
    const pid_t second = writer("BarB");
    ASSERT_GT(first, 0);
    ASSERT_GT(second, 0);

    // A third party reads while both write: every snapshot is a whole file,
    // and each bar's keys appear in the order written, none ever vanishing.
    std::size_t seenA = 0, seenB = 0;
    int snapshots = 0, broken = 0, gaps = 0, lost = 0;
    int statusA = -1, statusB = -1;
    const auto finished = [](pid_t pid, int& status) {
        return status != -1 || ::waitpid(pid, &status, WNOHANG) == pid;
    };
    for (;;) {
        // Both are asked each time, so each is reaped as soon as it ends.
        const bool firstDone = finished(first, statusA);
        const bool secondDone = finished(second, statusB);
        if (firstDone && secondDone) break;
        const std::optional<std::string> text = PosixTextFileStore().read(path);
        if (!text) {
            ++broken;  // the file is replaced by a rename and never absent
            continue;
        }
        ++snapshots;
        if (!isWholeIniFile(*text) || iniLookup(*text, "Settings", "TeX") != "/usr/local/texlive/bin/platex") ++broken;
        for (auto [prefix, seen] : {std::pair<std::string, std::size_t*>{"BarA", &seenA}, {"BarB", &seenB}}) {
            const std::set<int> keys = keysOf(*text, prefix);
            if (!keys.empty() && static_cast<std::size_t>(*keys.rbegin()) + 1 != keys.size()) ++gaps;
            if (keys.size() < *seen) ++lost;
            *seen = keys.size();
        }
    }
    EXPECT_TRUE(WIFEXITED(statusA) && WEXITSTATUS(statusA) == 0);
    EXPECT_TRUE(WIFEXITED(statusB) && WEXITSTATUS(statusB) == 0);
    EXPECT_GT(snapshots, 0);
    EXPECT_EQ(broken, 0);
    EXPECT_EQ(gaps, 0);
    EXPECT_EQ(lost, 0);

    RealBar reader(path);
    for (int i = 0; i < kWrites; ++i) {
        for (const std::string prefix : {"BarA", "BarB"}) {
            EXPECT_EQ(reader.settings.readSettingString("Settings", prefix + std::to_string(i), "<lost>"),
                      prefix + " value " + std::to_string(i));
        }
    }
    EXPECT_EQ(reader.settings.readSettingString("RFL", "File0"), "/home/user/論文/paper.tex");
    EXPECT_TRUE(isWholeIniFile(readFile(path).value_or("")));
    EXPECT_EQ(strayFiles(scratch.path(), "Kestro.ini"), std::vector<std::string>{});
}

std::string bigValue(int write) {
    return "write " + std::to_string(write) + ":" + std::string(40000, 'x');
}

TEST(SettingsFaults, KilledInTheMiddleOfAWriteLeavesTheOldOrTheNewFileAndNoPileOfTemporaries) {
    ScratchDirectory scratch;
    const std::string path = scratch / "Kestro.ini";
    writeFile(path, kStoredSettings);

    for (int round = 0; round < 16; ++round) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            RealBar bar(path);
            for (int i = 0;; ++i) bar.settings.writeSettingString("Settings", "Big", bigValue(i));
        }
        // Kill after a varying delay, so the kill falls into different
        // moments of a write: writing the temporary file, syncing, renaming.
        std::this_thread::sleep_for(std::chrono::microseconds(1500 + 2300 * round));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);

        const std::string text = readFile(path).value_or("");
        ASSERT_TRUE(isWholeIniFile(text)) << "round " << round;
        EXPECT_EQ(iniLookup(text, "Settings", "TeX"), "/usr/local/texlive/bin/platex");
        EXPECT_EQ(iniLookup(text, "RFL", "File0"), "/home/user/論文/paper.tex");
        const std::optional<std::string> big = iniLookup(text, "Settings", "Big");
        if (big) {
            const std::size_t colon = big->find(':');
            ASSERT_NE(colon, std::string::npos);
            EXPECT_EQ(*big, bigValue(std::stoi(big->substr(6, colon - 6))));
        }
        // At most the one temporary file that was being written when the
        // kill came; earlier ones are cleared by the next write.
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

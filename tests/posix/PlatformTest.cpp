// The Linux platform services on real files and processes: reading files,
// the settings file's storage, starting tools, handing files to the desktop;
// and kestro-build's command line (the program itself runs on fake tools in
// kestro-build-fake-tex.sh).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>

#include <algorithm>
#include <cstdio>
#include <thread>

#include "CliOptions.h"
#include "InotifyWatcher.h"
#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixDesktop.h"
#include "PosixSupport.h"
#include "PosixTextFileStore.h"
#include "PtyProcess.h"
#include "pipeline/CommandLine.h"

namespace kestro {
namespace {

using namespace posixtest;

ProcessRequest requestFor(const std::string& executable, std::vector<std::string> arguments = {}) {
    arguments.insert(arguments.begin(), executable);
    return ProcessRequest{executable, executable, std::move(arguments)};
}

// A script that leaves its working directory and its arguments in `out`.
std::string recorder(const std::string& path, const std::string& out) {
    return writeScript(path, "{ pwd -P; printf '[%s]\\n' \"$@\"; } > '" + out + ".part' && mv '" + out + ".part' '" + out + "'");
}

// Entries (a dangling link too), times to the nanosecond, subdirectories
// (also links to them); every byte of a regular file, and the cause of a
// failed read, where a named pipe or an endless device is refused.
TEST(PosixFileSystem, EntriesTimesSubdirectoriesAndReads) {
    ScratchDirectory dir;
    PosixFileSystem files;
    writeFile(dir / "old.dvi", "a");
    writeFile(dir / "new.dvi", "b");
    fs::create_directory(dir.path() / "2024");
    fs::create_directory_symlink(dir / "2024", dir.path() / "current");
    fs::create_symlink(dir / "gone", dir.path() / "dangling");
    EXPECT_TRUE(files.exists(dir / "dangling") && !files.exists(dir / "paper.pdf"));
    // 20 ms apart inside one second: a whole-second clock could not tell them apart.
    for (const auto& [name, nanoseconds] : {std::pair<const char*, long>{"old.dvi", 100'000'000}, {"new.dvi", 120'000'000}}) {
        const timespec times[2] = {{1'700'000'000, nanoseconds}, {1'700'000'000, nanoseconds}};
        ASSERT_EQ(::utimensat(AT_FDCWD, (dir / name).c_str(), times, 0), 0);
    }
    EXPECT_EQ(files.modificationTime(dir / "old.dvi"), 1'700'000'000'100'000'000LL);
    EXPECT_EQ(*files.modificationTime(dir / "new.dvi") - *files.modificationTime(dir / "old.dvi"), 20'000'000);
    fs::create_symlink(dir / "new.dvi", dir.path() / "link.dvi");
    EXPECT_EQ(files.modificationTime(dir / "link.dvi"), files.modificationTime(dir / "new.dvi"));  // the file's, not the link's
    EXPECT_TRUE(files.modificationTime(dir / "dangling") && !files.modificationTime(dir / "paper.pdf"));
    // TeX Live's releases may be links to directories.
    std::vector<std::string> names = files.subdirectories(dir.path().string() + "/");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"2024", "current"}));
    const std::string withNul("before\0after\n", 13);
    writeFile(dir / "paper.log", withNul);
    EXPECT_EQ(files.readWholeFile(dir / "paper.log"), withNul);
    EXPECT_EQ(files.readWholeFile("/proc/self/status"), "");  // the length the file had when opened
    fs::create_directory(dir.path() / "folder.log");
    ASSERT_EQ(::mkfifo((dir / "pipe.log").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir.path() / "zero.toc");
    const std::pair<std::string, FileErrorCause> failures[] = {
        {dir / "missing.log", FileErrorCause::NotFound}, {dir / "folder.log", FileErrorCause::AccessDenied},
        {dir / "paper.log/x.aux", FileErrorCause::InvalidPath}, {dir / "pipe.log", FileErrorCause::Other},
        {dir / "zero.toc", FileErrorCause::Other},
    };
    for (const auto& [path, cause] : failures) {
        try {
            ADD_FAILURE() << "read " << path << ": " << files.readWholeFile(path).size();
        } catch (const FileError& error) {
            EXPECT_EQ(error.cause(), cause) << path;
            EXPECT_EQ(error.fileName(), path);
        }
    }
}

// What is startable (a regular file with an execute bit) and what a start
// gives: the exit code, 128 + the signal, or -1 when nothing ran.
TEST(PosixProcesses, ExitCodesSignalsAndWhatCannotStart) {
    ScratchDirectory dir;
    PosixProcesses processes(StdinMode::Empty);
    writeScript(dir / "exit3", "exit 3");
    writeScript(dir / "segv", "kill -SEGV $$");
    writeScript(dir / "text", "exit 0", false);
    writeFile(dir / "no-interpreter", "#!/nonexistent/interpreter\n");
    ::chmod((dir / "no-interpreter").c_str(), 0755);
    fs::create_directory(dir.path() / "folder");
    const std::tuple<const char*, bool, int, int> cases[] = {
        {"exit3", true, 3, 0}, {"segv", true, 128 + SIGSEGV, SIGSEGV}, {"text", false, -1, 0},
        {"folder", false, -1, 0}, {"missing", false, -1, 0}, {"no-interpreter", true, -1, 0},
    };
    for (const auto& [name, startable, code, signal] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(processes.isStartable(dir / name), startable);
        const ProcessEnd end = processes.startAndWait(requestFor(dir / name));
        EXPECT_EQ(end.exitCode, code);
        EXPECT_EQ(end.signal, signal);
    }
    EXPECT_EQ(processes.startNoWait(requestFor(dir / "no-interpreter")), -1);
    // With SIGCHLD ignored the system reaps the tool itself: its end is lost.
    struct sigaction ignore {}, saved {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGCHLD, &ignore, &saved);
    EXPECT_EQ(processes.startAndWait(requestFor(dir / "exit3")).exitCode, -1);
    PtyProcess onTerminal;
    ASSERT_TRUE(onTerminal.start("/bin/sh", {"sh", "-c", "exit 0"}));
    while (!onTerminal.poll()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    EXPECT_EQ(onTerminal.end().exitCode, -1);
    ::sigaction(SIGCHLD, &saved, nullptr);
}

// The words arrive as the command line splits them, in the current
// directory; nothing is looked up along PATH and no shell reads them.
TEST(PosixProcesses, ToolsGetTheirWordsDirectoryAndStandardInput) {
    CurrentDirectoryGuard guard;
    ScratchDirectory dir;
    const std::string script = recorder(dir / "tool", dir / "out");
    const std::string stem = "my \"odd\" pa\\per $(touch hacked); *";
    const std::string line = joinCommandLine(CodePage::Utf8, script, {{"-s", false}, {"", false}, {stem, true}});
    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    PosixProcesses processes(StdinMode::Empty);
    ASSERT_EQ(processes.startAndWait({script, line, splitCommandLine(CodePage::Utf8, line)}).exitCode, 0);
    EXPECT_EQ(readFile(dir / "out"), dir.path().string() + "\n[-s]\n[" + stem + "]\n");
    EXPECT_FALSE(fs::exists(dir / "hacked"));
    EXPECT_EQ(processes.startAndWait(requestFor("sh")).exitCode, -1);  // on PATH, not here
    // Standard input: empty, or the bar's own (here a pipe holding a line).
    const std::string reader = writeScript(dir / "reader", "if read line; then exit 10; else exit 11; fi");
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    ASSERT_EQ(::write(ends[1], "x\n", 2), 2);
    ::close(ends[1]);
    const int saved = ::dup(0);
    ::dup2(ends[0], 0);
    ::close(ends[0]);
    const int empty = processes.startAndWait(requestFor(reader)).exitCode;
    const int inherited = PosixProcesses(StdinMode::Inherit).startAndWait(requestFor(reader)).exitCode;
    ::dup2(saved, 0);
    ::close(saved);
    EXPECT_EQ(empty, 11);
    EXPECT_EQ(inherited, 10);
}

TEST(PosixProcesses, DetachedProgramsRunInASessionOfTheirOwnInTheirDirectoryAndAreReaped) {
    ScratchDirectory dir, work;
    PosixProcesses processes(StdinMode::Empty);
    const int pid = processes.startNoWait(requestFor(writeScript(dir / "slow", "exec sleep 30")));
    ASSERT_GT(pid, 0);
    EXPECT_EQ(::getsid(pid), pid);
    ::kill(pid, SIGKILL);
    EXPECT_TRUE(waitUntil([&] { return ::kill(pid, 0) != 0 && errno == ESRCH; }));  // no zombie left
    const std::string script = recorder(dir / "tool", dir / "out");
    ASSERT_GE(processes.startDetached(requestFor(script), work.path().string()), 0);
    EXPECT_EQ(waitForFile(dir / "out"), work.path().string() + "\n[]\n");
    EXPECT_EQ(processes.startDetached(requestFor(script), work / "gone"), -1);
}

// The editor gets the document as one word and starts in its directory; a
// bare name is found along PATH; the PDF goes to the opener, a name with a
// leading dash as a path; whatever cannot start is a failure.
TEST(PosixDesktop, TheEditorAndTheOpenerStartWithTheirFileInTheDocumentsDirectory) {
    ScratchDirectory bin, docs;
    PosixProcesses processes(StdinMode::Empty);
    PosixDesktop desktop(processes);
    const std::string out = bin / "out";
    const std::string dir = docs.path().string();
    recorder(bin / "kestro-test-editor", out);
    EnvironmentGuard path("PATH", "/nonexistent:" + bin.path().string() + ":/usr/bin:/bin");
    EXPECT_TRUE(desktop.openWith("kestro-test-editor", {docs / "my \"paper\".tex"}, dir + "/"));
    EXPECT_EQ(waitForFile(out), dir + "\n[" + docs / "my \"paper\".tex" + "]\n");
    fs::remove(out);
    EnvironmentGuard opener("KESTRO_OPENER", recorder(bin / "opener", out));
    EXPECT_TRUE(desktop.openInViewer("--help.pdf", dir));
    EXPECT_EQ(waitForFile(out), dir + "\n[./--help.pdf]\n");
    writeScript(bin / "text", "exit 0", false);
    EXPECT_FALSE(desktop.openWith("text", {"a.tex"}, dir));
    EXPECT_FALSE(desktop.openWith("kestro-test-editor", {"a.tex"}, docs / "deleted"));
    EnvironmentGuard noOpener("KESTRO_OPENER", docs / "no-opener");
    EXPECT_FALSE(desktop.openInViewer("paper.pdf", dir));
}

using Edit = std::function<std::optional<std::string>(const std::optional<std::string>&)>;
Edit replaceWith(std::string content) {
    return [content](const std::optional<std::string>&) { return content; };
}

// Only Kestro.ini is ever left in its directory: writers lock the
// directory itself and rename a temporary file over the old one.
TEST(PosixTextFileStore, ReplacesTheFileKeepingItsPermissionsAndTheUsersProtection) {
    ScratchDirectory scratch;
    const std::string file = scratch / "Kestro.ini";
    PosixTextFileStore store;
    const mode_t mask = ::umask(022);
    EXPECT_TRUE(store.update(file, replaceWith("one")));
    ::umask(mask);
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0644));
    ::chmod(file.c_str(), 0640);
    EXPECT_TRUE(store.update(file, [](const std::optional<std::string>& old) { return *old + " two"; }));
    EXPECT_EQ(readFile(file), "one two");
    EXPECT_EQ(fs::status(file).permissions(), fs::perms(0640));
    // A file without write bits stays as it is, for root too.
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(store.update(file, replaceWith("changed")));
    EXPECT_EQ(readFile(file), "one two");
    EXPECT_EQ(std::distance(fs::directory_iterator(scratch.path()), fs::directory_iterator()), 1);
}

// A link is written through only when the user owns every link and the
// file; a file the user may not read is never replaced.
TEST(PosixTextFileStore, NeitherOthersLinksNorUnreadableFilesAreWritten) {
    ScratchDirectory scratch;
    const std::string file = scratch / "Kestro.ini", real = scratch / "real.ini";
    PosixTextFileStore store;
    writeFile(real, "old");
    fs::create_symlink("hop", file);
    fs::create_symlink(real, scratch.path() / "hop");
    ASSERT_TRUE(store.update(file, replaceWith("new")));
    EXPECT_TRUE(fs::is_symlink(file));
    EXPECT_EQ(readFile(real), "new");
    if (::geteuid() == 0) {  // only root can give links and files to others
        ASSERT_EQ(::lchown((scratch / "hop").c_str(), kNobody, kNobody), 0);
        EXPECT_FALSE(store.update(file, replaceWith("through another user's link")));
        EXPECT_EQ(readFile(real), "new");
    }
    fs::remove(real);  // a link to nothing is not made into a file
    EXPECT_FALSE(store.update(file, replaceWith("made")));
    EXPECT_FALSE(fs::exists(real));
    // A file the user may not read is never replaced.
    fs::remove(file);
    writeFile(file, "[Settings]\nTeX=/opt/tex/platex\n");
    ::chmod(scratch.path().c_str(), 0777);
    ::chmod(file.c_str(), ::geteuid() == 0 ? 0600 : 0);  // nobody may write in the directory, not read the file
    const int code = inChild([&] { return PosixTextFileStore().update(file, replaceWith("x")) ? 1 : 0; }, true);
    if (code == 77) GTEST_SKIP() << "cannot switch to user nobody";
    EXPECT_EQ(code, 0);
    ::chmod(file.c_str(), 0600);
    EXPECT_EQ(readFile(file), "[Settings]\nTeX=/opt/tex/platex\n");
}

// A watched file saved in place or by a rename over it is seen, also when
// the save came before the wait; another file of the folder is not.
TEST(InotifyWatcher, SeesSavesOfItsFilesOnly) {
    ScratchDirectory dir;
    const std::string chapter = dir / "chapter.tex";
    writeFile(chapter, "a");
    InotifyWatcher watcher;
    ASSERT_TRUE(watcher.valid() && watcher.watch({chapter}));
    const std::chrono::milliseconds brief(50);
    writeFile(dir / "other.tex", "b");
    EXPECT_FALSE(watcher.waitForChange(brief));
    writeFile(chapter, "c");
    EXPECT_TRUE(watcher.waitForChange(brief));
    EXPECT_FALSE(watcher.waitForChange(brief));
    std::thread([&] {
        std::this_thread::sleep_for(brief);
        writeFile(dir / "new.tex", "d");
        std::rename((dir / "new.tex").c_str(), chapter.c_str());
    }).detach();
    EXPECT_TRUE(watcher.waitForChange(std::nullopt));
    EXPECT_FALSE(watcher.watch({dir / "gone/x.tex"}));
}

TEST(CliOptions, EveryOptionAndEveryWrongLine) {
    const cli::ParseResult all = cli::parseCommandLine(
        {"--pdf", "--no", "--paper=Landscape", "--index-options", "-s my.ist", "--no-view", "--rerun-on-change", "--",
         "--odd.tex"});
    ASSERT_TRUE(all.options) << all.error;
    const cli::CliOptions& o = *all.options;
    EXPECT_EQ(std::tie(o.road, o.answer, o.paperSizeNo, o.indexOptions, o.noView, o.rerunOnChange, o.document),
              std::tuple(cli::Road::Pdf, Answer::Cancel, 4, "-s my.ist", true, true, "--odd.tex"));
    EXPECT_EQ(cli::parseCommandLine({"--index-options=", "--one-click", "--one-click", "a.tex"}).options->indexOptions, "");
    EXPECT_TRUE(cli::parseCommandLine({"--watch", "--one-click", "a.tex"}).options->watch);
    EXPECT_EQ(cli::paperSizeNumber("B5VAR"), 9);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"a.tex", "b.tex"}, {"--yes", "--no", "a.tex"}, {"--paper", "b5 ", "a.tex"}, {"a.tex", "--paper"}, {""},
             {"--index-options", "-s x\ny", "a.tex"}, {"--index-options=-s\r", "a.tex"}, {"--watch", "--pdf", "a.tex"},
             {"--tex-options", "-a\n-b", "a.tex"}, {"--clean", "--clean-all", "a.tex"}, {"--rerun", "a.tex"}}) {
        EXPECT_FALSE(cli::parseCommandLine(wrong).options) << wrong[0];
    }
    EXPECT_EQ(cli::parseCommandLine({"--index-options=\r", "a.tex"}).error, "--index-options cannot hold a line break");
    EXPECT_EQ(cli::parseCommandLine({"--watch", "--clean-all", "a.tex"}).error, "--clean-all and --watch cannot be combined");
}

}  // namespace
}  // namespace kestro

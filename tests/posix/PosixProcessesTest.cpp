#include "PosixProcesses.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <future>

#include "PosixTestScripts.h"
#include "build/CommandLine.h"

namespace kestro {
namespace {

using namespace posixtest;
using namespace std::chrono_literals;

ProcessRequest requestFor(const std::string& executable, std::vector<std::string> arguments = {}) {
    ProcessRequest request;
    request.executable = executable;
    arguments.insert(arguments.begin(), executable);
    request.arguments = std::move(arguments);
    return request;
}

// The script leaves its lines in `out` by a rename, so a reader never sees
// them half-written.
std::string writingTo(const std::string& out, const std::string& command) {
    return command + " > '" + out + ".part' && mv '" + out + ".part' '" + out + "'";
}

bool processGone(pid_t pid) { return ::kill(pid, 0) != 0 && errno == ESRCH; }

TEST(PosixProcesses, ExitCodesAndSignalsComeBackAsTheToolLeftThem) {
    ScratchDirectory dir;
    PosixProcesses processes(StdinMode::Empty);
    const struct {
        std::string body;
        int expected;
        int signal;
    } cases[] = {
        {"exit 0", 0, 0},
        {"exit 3", 3, 0},
        {"exit 139", 139, 0},
        {"kill -SEGV $$", 128 + SIGSEGV, SIGSEGV},
    };
    for (const auto& c : cases) {
        const std::string script = writeScript(dir / "tool", c.body);
        const ProcessEnd end = processes.startAndWait(requestFor(script));
        EXPECT_EQ(end.exitCode, c.expected) << c.body;
        EXPECT_EQ(end.signal, c.signal) << c.body;
        fs::remove(script);
    }
}

// isStartable means a regular file with an execute bit; whatever does not
// start, even with the bit, is -1.
TEST(PosixProcesses, WhatIsStartableAndWhatStarts) {
    ScratchDirectory dir;
    PosixProcesses processes(StdinMode::Empty);
    writeScript(dir / "tool", "exit 0");
    writeScript(dir / "text", "exit 0", false);
    const char garbage[] = "\x7f" "ELF?\0\1\2 not a program";
    writeFile(dir / "garbage", std::string(garbage, sizeof garbage - 1));
    ::chmod((dir / "garbage").c_str(), 0755);
    writeScript(dir / "no-interpreter", "exit 0");
    writeFile(dir / "no-interpreter", "#!/nonexistent/interpreter\nexit 0\n");
    fs::create_directory(dir.path() / "folder");
    fs::create_symlink(dir / "tool", dir.path() / "link");

    const std::tuple<const char*, bool, int> cases[] = {
        {"tool", true, 0},     {"link", true, 0},     {"text", false, -1},          {"folder", false, -1},
        {"missing", false, -1}, {"garbage", true, -1}, {"no-interpreter", true, -1},
    };
    for (const auto& [name, startable, code] : cases) {
        SCOPED_TRACE(name);
        EXPECT_EQ(processes.isStartable(dir / name), startable);
        EXPECT_EQ(processes.startAndWait(requestFor(dir / name)).exitCode, code);
    }
    EXPECT_EQ(processes.startNoWait(requestFor(dir / "missing")), -1);
    EXPECT_EQ(processes.startNoWait(requestFor(dir / "no-interpreter")), -1);
}

TEST(PosixProcesses, ArgumentsArriveExactlyAsTheCommandLineSplitsThem) {
    ScratchDirectory dir;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = dir / "args";
    const std::string script = writeScript(dir / "tool", writingTo(out, "printf '[%s]\\n' \"$@\""));

    // A stem with blanks, quotes, a backslash and a shell metacharacter is
    // quoted by the command line and must reach the tool as one word.
    const std::string stem = "my \"odd\" pa\\per $(touch hacked); *";
    const std::string line = joinCommandLine(CodePage::Utf8, script, {{"-s", false}, {"", false}, {stem, true}});
    ProcessRequest request;
    request.executable = script;
    request.commandLine = line;
    request.arguments = splitCommandLine(CodePage::Utf8, line);

    ASSERT_EQ(processes.startAndWait(request).exitCode, 0);
    EXPECT_EQ(readFile(out), "[-s]\n[" + stem + "]\n");
    EXPECT_FALSE(fs::exists(dir / "hacked"));
}

TEST(PosixProcesses, TheToolRunsInTheCurrentDirectoryAndPathIsNotSearched) {
    CurrentDirectoryGuard guard;
    ScratchDirectory dir;
    ScratchDirectory bin;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = dir / "cwd";
    writeScript(dir / "tool", writingTo(out, "pwd -P"));
    writeScript(bin / "kestro-only-on-path", "exit 7");
    EnvironmentGuard path("PATH", bin.path().string() + ":/usr/bin:/bin");

    ASSERT_EQ(::chdir(dir.path().c_str()), 0);
    ASSERT_EQ(processes.startAndWait(requestFor("./tool")).exitCode, 0);
    EXPECT_EQ(readFile(out), dir.path().string() + "\n");
    // Lookup along PATH is the core's job; the platform starts what it is given.
    EXPECT_EQ(processes.startAndWait(requestFor("kestro-only-on-path")).exitCode, -1);
}

TEST(PosixProcesses, StandardInputIsEmptyOrTheBarsOwn) {
    ScratchDirectory dir;
    const std::string script = writeScript(dir / "reader", "if read line; then exit 10; else exit 11; fi");

    PosixProcesses empty(StdinMode::Empty);
    EXPECT_EQ(empty.startAndWait(requestFor(script)).exitCode, 11);

    // The test's own standard input becomes a pipe holding one line.
    int pipeEnds[2];
    ASSERT_EQ(::pipe(pipeEnds), 0);
    ASSERT_EQ(::write(pipeEnds[1], "x\n", 2), 2);
    ::close(pipeEnds[1]);
    const int savedStdin = ::dup(0);
    ::dup2(pipeEnds[0], 0);
    ::close(pipeEnds[0]);
    PosixProcesses inherit(StdinMode::Inherit);
    const int result = inherit.startAndWait(requestFor(script)).exitCode;
    ::dup2(savedStdin, 0);
    ::close(savedStdin);
    EXPECT_EQ(result, 10);
}

TEST(PosixProcesses, StartNoWaitReturnsAtOnceInANewSessionAndTheChildIsReaped) {
    ScratchDirectory dir;
    PosixProcesses processes(StdinMode::Empty);
    const std::string script = writeScript(dir / "slow", "exec sleep 30");

    const auto before = std::chrono::steady_clock::now();
    const int pid = processes.startNoWait(requestFor(script));
    ASSERT_GT(pid, 0);
    EXPECT_LT(std::chrono::steady_clock::now() - before, 5s);
    EXPECT_EQ(::getsid(pid), pid);
    EXPECT_NE(::getsid(pid), ::getsid(0));

    ::kill(pid, SIGKILL);
    // Once killed it disappears entirely: no zombie is left behind.
    EXPECT_TRUE(waitUntil([&] { return processGone(pid); }));
}

TEST(PosixProcesses, StartDetachedRunsInTheGivenDirectory) {
    ScratchDirectory dir;
    ScratchDirectory work;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = dir / "cwd";
    const std::string script = writeScript(dir / "tool", writingTo(out, "pwd -P"));

    ASSERT_GE(processes.startDetached(requestFor(script), work.path().string()), 0);
    EXPECT_EQ(waitForFile(out), work.path().string() + "\n");
    EXPECT_EQ(processes.startDetached(requestFor(script), work / "gone"), -1);
}

// Runs `script` with startAndWait on another thread, calls stopRunningTool
// once it has started, and gives the result and the time the stop took.
std::pair<int, std::chrono::steady_clock::duration> stopWhileRunning(const std::string& script,
                                                                     const std::string& started) {
    PosixProcesses processes(StdinMode::Empty);
    auto result = std::async(std::launch::async, [&] { return processes.startAndWait(requestFor(script)).exitCode; });
    EXPECT_TRUE(waitUntil([&] { return fs::exists(started); }));
    const auto before = std::chrono::steady_clock::now();
    stopRunningTool();
    if (result.wait_for(20s) != std::future_status::ready) {
        ADD_FAILURE() << "the tool did not stop";
        return {-2, {}};
    }
    return {result.get(), std::chrono::steady_clock::now() - before};
}

// A tool ends on SIGTERM; one that ignores it is killed about two seconds on.
TEST(PosixProcesses, StopRunningToolEndsTheToolWithSigtermThenSigkill) {
    for (const bool ignoresTerm : {false, true}) {
        ScratchDirectory dir;
        const std::string started = dir / "started";
        const std::string script =
            writeScript(dir / "tool", (ignoresTerm ? "trap '' TERM; " : "") + ("touch '" + started + "'; exec sleep 30"));
        const auto [result, took] = stopWhileRunning(script, started);
        EXPECT_EQ(result, 128 + (ignoresTerm ? SIGKILL : SIGTERM));
        if (ignoresTerm) {
            EXPECT_GE(took, 1900ms);
        } else {
            EXPECT_LT(took, 2s);
        }
    }
}

}  // namespace
}  // namespace kestro

// kestro-build run as a program, on fake TeX tools (shell scripts on PATH),
// with no terminal (a session of its own, standard input from a file) or
// with a pseudo-terminal standing in for the user's.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "PosixTestScripts.h"
#include "settings/IniText.h"

#ifdef KESTRO_BUILD_EXE

namespace kestro::posixtest {
namespace {

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The fake tools. Each records its arguments, one bracketed word each, in
// calls.txt beside the document.
constexpr const char* kRecord =
    "for a in \"$@\"; do printf '[%s]' \"$a\" >> calls.txt; done; printf ' %s\\n' \"$0\" >> calls.txt\n";

class KestroBuildTest : public ::testing::Test {
protected:
    KestroBuildTest() {
        fs::create_directories(scratch.path() / "bin");
        fs::create_directories(scratch.path() / "work");
        writeFile(doc("paper.tex"), "\\documentclass{article}\\begin{document}x\\end{document}\n");
        installTex();
        tool("pbibtex", "exit 0");
        tool("mendex", "eval stem=\\${$#}; printf 'ind' > \"$stem.ind\"; exit 0");
        tool("dvipdfmx",
             "eval stem=\\${$#}\n"
             "code=$(cat dvipdfmx.exit 2>/dev/null || echo 0)\n"
             "[ \"$code\" = 0 ] && printf 'pdf' > \"$stem.pdf\"\n"
             "exit $code");
        writeScript(scratch / "bin/opener", "printf '%s\\n' \"$*\" > opened.txt.tmp; mv opened.txt.tmp opened.txt");
    }

    std::string doc(const std::string& name) const { return scratch / ("work/" + name); }
    std::string ini() const { return scratch / "Kestro.ini"; }

    void tool(const std::string& name, const std::string& body) {
        writeScript(scratch / ("bin/" + name), std::string(kRecord) + body);
    }
    // A LaTeX compiler that leaves a log, an empty aux file, a DVI file and,
    // when asked, an index file; it reports what its standard input held.
    void installTex(const std::string& extra = "") {
        tool("platex",
             "if read line; then printf 'got:%s' \"$line\" > stdin.txt; else printf 'empty' > stdin.txt; fi\n"
             "printf 'This is a fake TeX.\\n' > \"$1.log\"\n"
             ": > \"$1.aux\"\n"
             "printf 'dvi' > \"$1.dvi\"\n" +
                 extra + "\nexit 0");
    }

    std::vector<std::string> environment() const {
        return {"PATH=" + (scratch / "bin") + ":/usr/bin:/bin", "KESTRO_OPENER=" + (scratch / "bin/opener"),
                "LANG=C.UTF-8", "HOME=" + scratch.path().string()};
    }

    // Runs kestro-build in the scratch directory, in a session of its own
    // (so it has no controlling terminal), standard input from a file.
    // `whileRunning` gets its process id while it runs.
    CliRun run(std::vector<std::string> arguments, const std::string& stdinText = "",
               const std::function<void(pid_t)>& whileRunning = {}) {
        writeFile(scratch / "stdin.txt", stdinText);
        return launch(std::move(arguments), scratch / "stdin.txt", -1, "", whileRunning);
    }

    // The same with a pseudo-terminal as the controlling terminal, on which
    // `typed` has been typed; standard input from /dev/null.
    CliRun runOnTerminal(std::vector<std::string> arguments, const std::string& typed) {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        EXPECT_GE(master, 0);
        ::grantpt(master);
        ::unlockpt(master);
        const CliRun result = launch(std::move(arguments), "/dev/null", master, typed);
        ::close(master);
        return result;
    }

    std::string setting(const std::string& key, const std::string& section = "Settings") const {
        return iniLookup(readFile(ini()).value_or(""), section, key).value_or("<absent>");
    }
    void store(const std::string& text) { writeFile(ini(), text); }
    std::string calls() const { return readFile(doc("calls.txt")).value_or(""); }
    int runsOf(const std::string& toolName) const {
        int count = 0;
        const std::string marker = " " + (scratch / ("bin/" + toolName)) + "\n";
        for (std::size_t at = calls().find(marker); at != std::string::npos; at = calls().find(marker, at + 1)) {
            ++count;
        }
        return count;
    }

    ScratchDirectory scratch;
    std::string terminalOutput;
    // Run in the child, in the scratch directory, just before kestro-build
    // starts; false ends the child.
    std::function<bool()> prepareChild;

private:
    static void redirect(const std::string& path, int fd, int flags) {
        const int opened = ::open(path.c_str(), flags, 0644);
        if (opened < 0) ::_exit(126);
        ::dup2(opened, fd);
        ::close(opened);
    }
    // Starts kestro-build (with the terminal behind `master` as its
    // controlling one, when given), types `typed` and waits at most a minute,
    // draining the terminal so the program never blocks on its prompts.
    CliRun launch(std::vector<std::string> arguments, const std::string& in, int master, const std::string& typed,
                  const std::function<void(pid_t)>& whileRunning = {}) {
        const std::string out = scratch / "out.txt", err = scratch / "err.txt";
        const std::string slave = master >= 0 ? ::ptsname(master) : "";
        arguments.insert(arguments.begin(), KESTRO_BUILD_EXE);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setsid();
            if (master >= 0) ::close(master);
            const int tty = slave.empty() ? -2 : ::open(slave.c_str(), O_RDWR);  // the controlling terminal
            if (tty == -1 || ::chdir(scratch.path().c_str()) != 0) ::_exit(126);
            if (prepareChild && !prepareChild()) ::_exit(125);
            redirect(in, 0, O_RDONLY);
            redirect(out, 1, O_WRONLY | O_CREAT | O_TRUNC);
            redirect(err, 2, O_WRONLY | O_CREAT | O_TRUNC);
            if (tty >= 0) ::close(tty);
            std::vector<char*> argv, envp;
            const std::vector<std::string> env = environment();
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
            argv.push_back(nullptr);
            envp.push_back(nullptr);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        if (master >= 0) {
            if (::write(master, typed.data(), typed.size()) != static_cast<ssize_t>(typed.size())) {
                ADD_FAILURE() << "typing failed";
            }
            ::fcntl(master, F_SETFL, O_NONBLOCK);
        }
        if (whileRunning) whileRunning(pid);
        terminalOutput.clear();
        CliRun result;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        for (int raw = 0;;) {
            char buffer[512];
            const ssize_t got = master >= 0 ? ::read(master, buffer, sizeof buffer) : 0;
            if (got > 0) terminalOutput.append(buffer, static_cast<std::size_t>(got));
            if (::waitpid(pid, &raw, WNOHANG) == pid) {
                result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                break;
            }
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &raw, 0);
                ADD_FAILURE() << "kestro-build did not end";
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        result.out = readFile(out).value_or("");
        result.err = readFile(err).value_or("");
        return result;
    }
};

TEST_F(KestroBuildTest, WrongCommandLinesExitWithTwoAndRunNothing) {
    const std::vector<std::vector<std::string>> wrong = {
        {},
        {"--frobnicate", "work/paper.tex"},
        {"--tex", "--pdf", "work/paper.tex"},
        {"work/missing.tex"},
    };
    for (const auto& arguments : wrong) {
        std::string line;
        for (const std::string& a : arguments) line += a + " ";
        SCOPED_TRACE(line);
        const CliRun result = run(arguments);
        EXPECT_EQ(result.status, 2);
        EXPECT_NE(result.err.find("kestro-build"), std::string::npos);
    }
    EXPECT_EQ(calls(), "");
    EXPECT_FALSE(fs::exists(ini()));
}

TEST_F(KestroBuildTest, TexRoadConvertsWithTheConfirmedPaperAndStoresItsKeys) {
    const CliRun result = run({"--tex", "--paper", "B5", "work/paper.tex"});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(runsOf("platex"), 1);
    // The relative document was made absolute: the tools ran beside it.
    EXPECT_NE(calls().find("[paper] " + (scratch / "bin/platex")), std::string::npos) << calls();
    EXPECT_NE(calls().find("[-p][b5][paper] " + (scratch / "bin/dvipdfmx")), std::string::npos) << calls();
    EXPECT_TRUE(fs::exists(doc("paper.pdf")));
    EXPECT_FALSE(fs::exists(doc("opened.txt")));
    // Stored as the paper size dialog stores them, in the starting directory.
    EXPECT_EQ(setting("PdfNShow"), "0");
    EXPECT_EQ(setting("PdfNeShow"), "0");
    EXPECT_EQ(setting("PdfSizeNo"), "7");
    EXPECT_EQ(setting("Acr"), "1");
    EXPECT_NE(result.err.find("kestro-build: PDF 作成の用紙サイズ: B5"), std::string::npos) << result.err;
    EXPECT_FALSE(fs::exists(doc("Kestro.ini")));
}

TEST_F(KestroBuildTest, OneClickHandsThePdfToTheOpenerUnlessNoView) {
    CliRun result = run({"--one-click", "--no-view", doc("paper.tex")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_TRUE(fs::exists(doc("paper.pdf")));
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(doc("opened.txt")));

    result = run({"--one-click", doc("paper.tex")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(waitForFile(doc("opened.txt")), std::optional<std::string>("paper.pdf\n"));
}

TEST_F(KestroBuildTest, ToolsGetAnEmptyStandardInputAndTheHistoryIsNeitherReadNorWritten) {
    store("[RFL]\nFile0=/elsewhere/old.tex\n");
    const CliRun result = run({"--tex", doc("paper.tex")}, "x\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(readFile(doc("stdin.txt")), std::optional<std::string>("empty"));
    EXPECT_EQ(setting("File0", "RFL"), "/elsewhere/old.tex");
    EXPECT_EQ(setting("File1", "RFL"), "<absent>");
    EXPECT_EQ(runsOf("platex"), 1);
}

TEST_F(KestroBuildTest, FailedCompileGivesTheOneClickMessageAndStatusOne) {
    writeScript(scratch / "bin/platex", std::string(kRecord) + "printf 'log' > \"$1.log\"; exit 1");
    const CliRun result = run({"--one-click", doc("paper.tex")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("kestro-build: エラーがあります。\n TeX のコンパイルができません。"), std::string::npos)
        << result.err;
    EXPECT_EQ(runsOf("dvipdfmx"), 0);
}

// A compiler error that the road does not examine still made a PDF: the run
// fails all the same, and says where the first error is and what failed.
TEST_F(KestroBuildTest, FailedToolRunMakesTheRoadFailAndTheLastLinesSayWhereAndWhat) {
    installTex("printf '(./paper.tex (./chap.tex\\n! Undefined control sequence.\\nl.7 \\\\undefinedcs\\n' > \"$1.log\"\n"
               "exit 1");
    const CliRun result = run({"--tex", "--paper", "a4", "work/paper.tex"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(runsOf("dvipdfmx"), 1);
    const std::string tail = "work/chap.tex:7: Undefined control sequence.\nkestro-build: platex exited with 1\n";
    EXPECT_TRUE(result.err.ends_with(tail)) << result.err;
}

// SIGTERM and SIGHUP reach the running tool, which does not outlive
// kestro-build; the settings file stays whole.
TEST_F(KestroBuildTest, StopSignalsAreForwardedToTheToolAndEndTheRun) {
    installTex("trap 'printf %s \"$sig\" > signal.txt; kill $!; exit 1' TERM HUP\n"
               "sig=got; touch started.txt; sleep 30 & wait");
    for (const int signal : {SIGTERM, SIGHUP}) {
        SCOPED_TRACE(signal);
        const std::string settings = "[Settings]\nPdfNeShow=1\nPdfSizeNo=10\nTeX=platex\n";
        store(settings);
        fs::remove(doc("started.txt"));
        fs::remove(doc("signal.txt"));
        const auto begin = std::chrono::steady_clock::now();
        const CliRun result = run({"--tex", doc("paper.tex")}, "", [&](pid_t pid) {
            EXPECT_TRUE(waitUntil([&] { return fs::exists(doc("started.txt")); }));
            ::kill(pid, signal);
        });
        EXPECT_EQ(result.status, 128 + signal);
        EXPECT_LT(std::chrono::steady_clock::now() - begin, std::chrono::seconds(5));
        EXPECT_EQ(readFile(doc("signal.txt")), std::optional<std::string>("got"));
        EXPECT_EQ(readFile(ini()), std::optional<std::string>(settings));
        EXPECT_EQ(runsOf("dvipdfmx"), 0);
    }
}

// A working directory longer than the system's limit: the document is
// there, but no path can name it.
TEST_F(KestroBuildTest, PathLongerThanTheSystemAllowsIsSaidSo) {
    const std::string level(250, 'd');
    prepareChild = [&level] {
        for (int i = 0; i < 20; ++i) {
            if ((::mkdir(level.c_str(), 0755) != 0 && errno != EEXIST) || ::chdir(level.c_str()) != 0) return false;
        }
        const int fd = ::open("paper.tex", O_WRONLY | O_CREAT | O_TRUNC, 0644);
        return fd >= 0 && ::close(fd) == 0;
    };
    const CliRun result = run({"--tex", "paper.tex"});
    EXPECT_EQ(::system(("rm -rf '" + (scratch / level) + "'").c_str()), 0);
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("paper.tex: the path is longer than the system allows"), std::string::npos)
        << result.err;
    EXPECT_EQ(calls(), "");
}

TEST_F(KestroBuildTest, PaperOptionOnlyForThisRunWhereTheDialogIsOff) {
    store("[Settings]\nPdfNeShow=1\nPdfSizeNo=10\n");
    const CliRun result = run({"--tex", "--paper", "a3", doc("paper.tex")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(calls().find("[-p][a3][paper] "), std::string::npos) << calls();
    EXPECT_EQ(setting("PdfSizeNo"), "10");
    EXPECT_EQ(setting("PdfNeShow"), "1");

    const CliRun again = run({"--tex", doc("paper.tex")});
    EXPECT_EQ(again.status, 0);
    EXPECT_NE(calls().find("[-p][letter][paper] "), std::string::npos) << calls();
}

TEST_F(KestroBuildTest, UnstartableCompilerWithoutTerminalKeepsItsPathStored) {
    store("[Settings]\nTeX=/opt/gone/platex\n");
    const CliRun result = run({"--one-click", "--yes", doc("paper.tex")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(setting("TeX"), "/opt/gone/platex");
    EXPECT_NE(result.err.find("「設定」で「TeX の変更」"), std::string::npos) << result.err;
}

TEST_F(KestroBuildTest, QuestionsAndFileNamesAreAskedOnTheTerminal) {
    writeFile(doc("dvipdfmx.exit"), "1");
    const std::string chosen = writeScript(scratch / "bin/my-dvipdfmx", "exit 0");
    const std::string notExecutable = writeScript(scratch / "bin/readme", "exit 0", false);
    // The viewer question: y (retry, fails again); the converter selection:
    // y; a name that does not exist, a directory and a file that cannot be
    // run, each asked again, then the real one.
    const CliRun result = runOnTerminal({"--tex", doc("paper.tex")}, "y\ny\n/no/such/file\n" + (scratch / "bin") +
                                                                        "\n" + notExecutable + "\n" + chosen + "\n");
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(runsOf("dvipdfmx"), 2);
    EXPECT_NE(terminalOutput.find("[y/N]"), std::string::npos) << terminalOutput;
    EXPECT_NE(terminalOutput.find("dvipdfmx のファイルのパス"), std::string::npos) << terminalOutput;
    EXPECT_NE(result.err.find("/no/such/file が見つかりません。"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(scratch / "bin" + " はディレクトリです。"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(notExecutable + " は実行できません"), std::string::npos) << result.err;
    EXPECT_EQ(setting("DviPdf"), chosen);
}

}  // namespace
}  // namespace kestro::posixtest

#endif  // KESTRO_BUILD_EXE

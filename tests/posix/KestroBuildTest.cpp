// kestro-build: its command line, and the program itself run on the fake
// TeX tools, without a terminal (a session of its own) or on a
// pseudo-terminal standing in for the user's.
#include <gtest/gtest.h>

#ifdef KESTRO_BUILD_EXE

#include <fcntl.h>
#include <signal.h>

#include "CliOptions.h"
#include "PosixSupport.h"
#include "settings/IniText.h"

namespace kestro::posixtest {
namespace {

using cli::parseCommandLine;

TEST(CliOptions, EveryOptionAndEveryWrongLine) {
    const cli::ParseResult all = parseCommandLine(
        {"--pdf", "--no", "--paper=Landscape", "--index-options", "-s my.ist", "--no-view", "--", "--odd.tex"});
    ASSERT_TRUE(all.options) << all.error;
    EXPECT_EQ(all.options->road, cli::Road::Pdf);
    EXPECT_EQ(all.options->answer, Answer::Cancel);
    EXPECT_EQ(all.options->paperSizeNo, 4);
    EXPECT_EQ(all.options->indexOptions, "-s my.ist");
    EXPECT_TRUE(all.options->noView);
    EXPECT_EQ(all.options->document, "--odd.tex");
    EXPECT_EQ(parseCommandLine({"--index-options=", "--one-click", "--one-click", "a.tex"}).options->indexOptions, "");
    EXPECT_EQ(cli::paperSizeNumber("B5VAR"), 9);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"a.tex", "b.tex"}, {"--yes", "--no", "a.tex"}, {"--paper", "b5 ", "a.tex"}, {"a.tex", "--paper"}, {""}}) {
        EXPECT_FALSE(parseCommandLine(wrong).options) << wrong[0];
    }
}

struct CliRun {
    int status = -1;
    std::string err;
};

class KestroBuild : public ::testing::Test {
protected:
    KestroBuild() {
        writeFile(doc("paper.tex"), "\\documentclass{article}\n");
        writeScript(tex.path("opener"), "printf '%s\\n' \"$*\" > opened.tmp; mv opened.tmp opened.txt");
    }
    std::string doc(const std::string& name) const { return scratch / ("work/" + name); }
    std::string setting(const std::string& key, const std::string& section = "Settings") const {
        return iniLookup(CodePage::Utf8, readFile(scratch / "Kestro.ini").value_or(""), section, key).value_or("<absent>");
    }
    std::size_t runsOf(const std::string& tool) const {
        std::size_t count = 0;
        for (const std::string& line : tex.recorded()) count += line.rfind(tool + " ", 0) == 0;
        return count;
    }

    // Runs kestro-build in the scratch directory, in a session of its own,
    // with the terminal behind `master` as its controlling one when given
    // (then standard input is /dev/null), `typed` typed on it. `whileRunning`
    // gets its process id.
    CliRun run(std::vector<std::string> arguments, const std::string& typed = "", bool onTerminal = false,
               const std::function<void(pid_t)>& whileRunning = {}) {
        const int master = onTerminal ? ::posix_openpt(O_RDWR | O_NOCTTY) : -1;
        if (master >= 0 && (::grantpt(master) != 0 || ::unlockpt(master) != 0)) ADD_FAILURE() << "no terminal";
        const std::string slave = master >= 0 ? ::ptsname(master) : "", err = scratch / "err.txt";
        writeFile(scratch / "stdin.txt", typed);
        arguments.insert(arguments.begin(), KESTRO_BUILD_EXE);
        const pid_t pid = ::fork();
        if (pid == 0) {
            ::setsid();
            const int tty = slave.empty() ? -2 : ::open(slave.c_str(), O_RDWR);  // the controlling terminal
            if (tty == -1 || ::chdir(scratch.path().c_str()) != 0) ::_exit(126);
            const int in = ::open(master >= 0 ? "/dev/null" : (scratch / "stdin.txt").c_str(), O_RDONLY);
            const int out = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(in, 0), ::dup2(out, 1), ::dup2(out, 2);
            std::vector<char*> argv, envp;
            const std::vector<std::string> env = {"PATH=" + tex.bin() + ":/usr/bin:/bin", "LANG=C.UTF-8",
                                                  "KESTRO_OPENER=" + tex.path("opener")};
            for (const std::string& a : arguments) argv.push_back(const_cast<char*>(a.c_str()));
            for (const std::string& e : env) envp.push_back(const_cast<char*>(e.c_str()));
            argv.push_back(nullptr);
            envp.push_back(nullptr);
            ::execve(argv[0], argv.data(), envp.data());
            ::_exit(127);
        }
        if (master >= 0) {
            EXPECT_EQ(::write(master, typed.data(), typed.size()), static_cast<ssize_t>(typed.size()));
            ::fcntl(master, F_SETFL, O_NONBLOCK);
        }
        if (whileRunning) whileRunning(pid);
        CliRun result;
        // Drains the terminal so the program never blocks on its prompts.
        for (int raw = 0, waited = 0;; ++waited) {
            char buffer[512];
            if (master >= 0 && ::read(master, buffer, sizeof buffer) > 0) continue;
            if (::waitpid(pid, &raw, WNOHANG) == pid) {
                result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
                break;
            }
            if (waited > 12000) {
                ::kill(pid, SIGKILL);
                ADD_FAILURE() << "kestro-build did not end";
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        if (master >= 0) ::close(master);
        result.err = readFile(err).value_or("");
        return result;
    }

    ScratchDirectory scratch;
    FakeTex tex{scratch};
};

TEST_F(KestroBuild, AWrongCommandLineOrAMissingDocumentExitsWithTwoAndRunsNothing) {
    for (const std::vector<std::string>& wrong :
         std::vector<std::vector<std::string>>{{}, {"--tex", "--pdf", "work/paper.tex"}, {"work/missing.tex"}}) {
        const CliRun result = run(wrong);
        EXPECT_EQ(result.status, 2) << result.err;
    }
    EXPECT_TRUE(tex.recorded().empty());
    EXPECT_FALSE(fs::exists(scratch / "Kestro.ini"));
}

// The relative document is made absolute, the tools run beside it with an
// empty standard input, the paper dialog takes --paper and stores it in the
// starting directory's Kestro.ini, and the history is neither read nor written.
TEST_F(KestroBuild, TheTexRoadConvertsWithTheConfirmedPaperAndStoresItsKeys) {
    tex.compiler("if read line; then printf 'got' > stdin.txt; else printf 'empty' > stdin.txt; fi");
    writeFile(scratch / "Kestro.ini", "[RFL]\nFile0=/elsewhere/old.tex\n");
    const CliRun result = run({"--tex", "--paper=B5", "work/paper.tex"}, "x\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(tex.recorded(), (std::vector<std::string>{FakeTex::ran("platex", "[paper]", doc("")),
                                                        FakeTex::ran("dvipdfmx", "[-p] [b5] [paper]", doc(""))}));
    EXPECT_EQ(readFile(doc("stdin.txt")), "empty");
    EXPECT_EQ(setting("PdfSizeNo"), "7");
    EXPECT_EQ(setting("Acr"), "1");
    EXPECT_EQ(setting("File0", "RFL"), "/elsewhere/old.tex");
    EXPECT_EQ(setting("File1", "RFL"), "<absent>");
    EXPECT_FALSE(fs::exists(doc("opened.txt")));
}

TEST_F(KestroBuild, OneClickHandsThePdfToTheOpenerUnlessNoView) {
    EXPECT_EQ(run({"--one-click", "--no-view", doc("paper.tex")}).status, 0);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_FALSE(fs::exists(doc("opened.txt")));
    EXPECT_EQ(run({"--one-click", doc("paper.tex")}).status, 0);
    EXPECT_EQ(waitForFile(doc("opened.txt")), "paper.pdf\n");
}

// Where a dialog is switched off, the command line's value holds for this
// run only.
TEST_F(KestroBuild, PaperAndIndexOptionsOnlyForThisRunWhereTheirDialogIsOff) {
    writeFile(scratch / "Kestro.ini", "[Settings]\nPdfNeShow=1\nPdfSizeNo=10\nMkIdxNvr=1\nMkIdxOpt=-s my\n");
    tex.compiler("[ $n = 1 ] && printf 'x' > \"$1.idx\"");
    EXPECT_EQ(run({"--tex", "--paper", "a3", "--index-options", "-g", doc("paper.tex")}).status, 0);
    EXPECT_EQ(run({"--tex", doc("paper.tex")}).status, 0);
    const std::vector<std::string> runs = tex.recorded();
    ASSERT_EQ(runs.size(), 6u);
    EXPECT_EQ(runs[1], FakeTex::ran("mendex", "[-g] [paper]", doc("")));
    EXPECT_EQ(runs[3], FakeTex::ran("dvipdfmx", "[-p] [a3] [paper]", doc("")));
    EXPECT_EQ(runs[5], FakeTex::ran("dvipdfmx", "[-p] [letter] [paper]", doc("")));
    EXPECT_EQ(setting("PdfSizeNo"), "10");
    EXPECT_EQ(setting("MkIdxOpt"), "-s my");
}

// SIGTERM and SIGHUP reach the running tool, which does not outlive
// kestro-build; the settings file stays whole.
TEST_F(KestroBuild, StopSignalsAreForwardedToTheToolAndEndTheRun) {
    tex.compiler("trap 'printf got > signal.txt; kill $!; exit 1' TERM HUP\ntouch started.txt; sleep 30 & wait");
    const std::string settings = "[Settings]\nPdfNeShow=1\nTeX=platex\n";
    for (const int signal : {SIGTERM, SIGHUP}) {
        writeFile(scratch / "Kestro.ini", settings);
        fs::remove(doc("started.txt"));
        fs::remove(doc("signal.txt"));
        const CliRun result = run({"--tex", doc("paper.tex")}, "", false, [&](pid_t pid) {
            EXPECT_TRUE(waitUntil([&] { return fs::exists(doc("started.txt")); }));
            ::kill(pid, signal);
        });
        EXPECT_EQ(result.status, 128 + signal);
        EXPECT_EQ(readFile(doc("signal.txt")), "got");
        EXPECT_EQ(readFile(scratch / "Kestro.ini"), settings);
    }
    EXPECT_EQ(runsOf("dvipdfmx"), 0u);
}

// The viewer question: y (the retry fails again); the converter selection:
// y; a name that does not exist, a directory and a file that cannot be
// run, each asked again, then one that can.
TEST_F(KestroBuild, QuestionsAndFileNamesAreAskedOnTheTerminal) {
    tex.tool("dvipdfmx", "exit 1");
    const std::string chosen = writeScript(tex.path("mine"), "exit 0");
    const std::string notExecutable = writeScript(tex.path("readme"), "exit 0", false);
    const CliRun result =
        run({"--tex", doc("paper.tex")}, "y\ny\n/no/such/file\n" + tex.bin() + "\n" + notExecutable + "\n" + chosen + "\n", true);
    EXPECT_EQ(result.status, 1) << result.err;
    EXPECT_EQ(runsOf("dvipdfmx"), 2u);
    for (const std::string& said : {std::string("/no/such/file が見つかりません。"), tex.bin() + " はディレクトリです。",
                                    notExecutable + " は実行できません"}) {
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;
    }
    EXPECT_EQ(setting("DviPdf"), chosen);
}

}  // namespace
}  // namespace kestro::posixtest

#endif  // KESTRO_BUILD_EXE

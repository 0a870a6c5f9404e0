// The compile on the real Linux platform, with small shell scripts standing
// in for the TeX tools: real files, real processes, real current directory.
#include <gtest/gtest.h>

#include <signal.h>

#include <sstream>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTestScripts.h"
#include "PosixTextFileStore.h"
#include "ScriptedUi.h"
#include "build/CompileDocument.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

using namespace posixtest;
using testing::ScriptedUi;

const std::string kWarningNotice =
    "コンパイルは成功しました！！\nしかし \"LaTeX Warning\" があります。\n"
    "(\"Font Warning\" ではありません。) \nログファイルで確認して下さい。";
const std::string kBibError =
    "何かエラーがあります。実行ファイル \"jbibtex.exe\" を \"bibtex.exe\" にしてしまったとか。\n"
    "DVI ファイルの参考文献の欄も確かめてみて下さい。";

// Every fake tool appends one line: its name, each argument in brackets and
// the directory it ran in.
const std::string kRecordLine =
    "PATH=/usr/bin:/bin; export PATH\n"
    "{ printf '%s' \"$(basename \"$0\")\"; for a in \"$@\"; do printf ' [%s]' \"$a\"; done;"
    " printf ' @%s\\n' \"$(pwd -P)\"; } >> \"$KESTRO_FAKE_RECORD\"\n";

class PipelineFakeTools : public ::testing::Test {
protected:
    PipelineFakeTools()
        : docDir(scratch / "doc" + "/"),
          binDir(scratch / "bin"),
          path("PATH", scratch / "bin"),
          record("KESTRO_FAKE_RECORD", scratch / "record.txt"),
          settings(profile, scratch / "Kestro.ini"),
          services{PlatformRules::posix(), settings, files, processes, ui, "Kestro"} {
        fs::create_directories(docDir);
        fs::create_directories(binDir);
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentExt = ".tex";
        state.texCommand = "platex";
        state.bibtexCommand = "pbibtex";
        state.indexCommand = "mendex";
        state.indexOptions = "-s myindex";
        state.indexDialogNever = 1;
        writeFakeCompiler();
        writeScript(binDir + "/pbibtex",
                    kRecordLine + "[ -f \"$KESTRO_FAKE_BIN/pbibtex.kill\" ] && kill -TERM $$\n"
                                  "printf 'bbl' > \"$1.bbl\"\nexit 0");
        writeScript(binDir + "/mendex",
                    kRecordLine + "for last in \"$@\"; do :; done\nprintf 'ind' > \"$last.ind\"\nexit 0");
        ::setenv("KESTRO_FAKE_BIN", binDir.c_str(), 1);
    }
    ~PipelineFakeTools() override { ::unsetenv("KESTRO_FAKE_BIN"); }

    // The compiler plays run n from the files runN.log, runN.aux, runN.toc,
    // runN.idx and runN.exit in the bin directory; it always writes the DVI.
    void writeFakeCompiler() {
        writeScript(binDir + "/platex",
                    kRecordLine +
                        "n=$(cat \"$KESTRO_FAKE_BIN/count\" 2>/dev/null || echo 0); n=$((n+1))\n"
                        "echo $n > \"$KESTRO_FAKE_BIN/count\"\n"
                        "for ext in log aux toc idx; do\n"
                        "  [ -f \"$KESTRO_FAKE_BIN/run$n.$ext\" ] && cp \"$KESTRO_FAKE_BIN/run$n.$ext\" \"$1.$ext\"\n"
                        "done\n"
                        "printf 'dvi' > \"$1.dvi\"\n"
                        "[ -f \"$KESTRO_FAKE_BIN/run$n.exit\" ] && exit $(cat \"$KESTRO_FAKE_BIN/run$n.exit\")\n"
                        "exit 0");
    }
    void script(int run, const std::string& extension, const std::string& content) {
        writeFile(binDir + "/run" + std::to_string(run) + "." + extension, content);
    }
    // Every run writes a log and an aux file unless told otherwise.
    void plainRuns(int count) {
        for (int run = 1; run <= count; ++run) {
            script(run, "log", "This is a fake pLaTeX.\n");
            script(run, "aux", "\\relax\n");
        }
    }
    std::vector<std::string> recorded() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(scratch / "record.txt").value_or(""));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string ran(const std::string& tool, const std::string& arguments) const {
        std::string docDirNoSlash = docDir.substr(0, docDir.size() - 1);
        return tool + " " + arguments + " @" + docDirNoSlash;
    }
    int compile() { return compileDocument(state, services); }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    std::string docDir;
    std::string binDir;
    EnvironmentGuard path;
    EnvironmentGuard record;
    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings;
    PosixFileSystem files;
    PosixProcesses processes{StdinMode::Empty};
    ScriptedUi ui;
    Services services;
    BarState state;
};

TEST_F(PipelineFakeTools, BibliographyIndexAndClosingRunsInTheDocumentDirectory) {
    plainRuns(4);
    script(1, "log", "No file paper.bbl.\n");
    script(1, "aux", "\\citation{a}\n\\bibdata{refs}\n");
    script(1, "toc", "\\contentsline{section}{1}{1}\n");
    script(1, "idx", "\\indexentry{a}{1}\n");
    script(3, "log", "LaTeX Warning: Label(s) may have changed.\n");
    script(4, "log", "LaTeX Warning: There were undefined references.\n");
    script(4, "toc", "\\contentsline{section}{1}{1}\n");

    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(recorded(), (std::vector<std::string>{
                              ran("platex", "[paper]"),
                              ran("pbibtex", "[paper]"),
                              ran("platex", "[paper]"),
                              ran("mendex", "[-s] [myindex] [paper]"),
                              ran("platex", "[paper]"),
                              ran("platex", "[paper]"),
                          }));
    EXPECT_TRUE(fs::exists(docDir + "paper.bbl"));
    EXPECT_TRUE(fs::exists(docDir + "paper.ind"));
    ASSERT_EQ(ui.boxes().size(), 1u);
    EXPECT_EQ(ui.boxes()[0].text, kWarningNotice);
    EXPECT_EQ(ui.boxes()[0].caption, "Warning!!");
    EXPECT_EQ(fs::current_path().string() + "/", docDir);
}

TEST_F(PipelineFakeTools, ToolKilledBySignalTakesNoRecoveryRoad) {
    plainRuns(1);
    script(1, "log", "No file paper.bbl.\n");
    writeFile(binDir + "/pbibtex.kill", "");
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(ui.boxTexts(), (std::vector<std::string>{kBibError}));
    EXPECT_EQ(recorded().size(), 2u);  // no re-run for the bibliography
    EXPECT_FALSE(fs::exists(scratch / "Kestro.ini"));
}

TEST_F(PipelineFakeTools, CompilerKilledBySignalIsAFailedRunNotAMissingOne) {
    writeScript(binDir + "/platex", kRecordLine + "kill -KILL $$");
    EXPECT_EQ(compile(), 0);
    EXPECT_TRUE(ui.boxes().empty());
    EXPECT_EQ(recorded().size(), 1u);
}

TEST_F(PipelineFakeTools, UserStopInACrLfLog) {
    plainRuns(1);
    script(1, "log", "! Undefined control sequence.\r\nl.3 \\foo\r\n? x\r\nNo pages of output.\r\n");
    script(1, "idx", "\\indexentry{a}{1}\n");
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(recorded().size(), 1u);
}

}  // namespace
}  // namespace kestro

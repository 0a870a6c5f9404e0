#include "PosixShell.h"

#include <gtest/gtest.h>

#include "PosixProcesses.h"
#include "PosixTestScripts.h"

namespace kestro {
namespace {

using namespace posixtest;

class PosixShell : public ::testing::Test {
protected:
    // A program that records its working directory and each argument in
    // `out` (by a rename, so the test never reads it half-written).
    std::string recorder(const std::string& name) {
        return writeScript(bin / name, "{ pwd -P; printf '[%s]\\n' \"$@\"; } > '" + out + ".part' && mv '" + out +
                                           ".part' '" + out + "'");
    }
    int open(const std::string& file, std::optional<std::string> parameters, const std::string& directory) {
        ShellOpenRequest request;
        request.verb = "open";
        request.file = file;
        request.parameters = std::move(parameters);
        request.directory = directory;
        return posixShellOpen(request, processes);
    }
    // What the recorder saw: its directory, then its arguments.
    void recorded(const std::string& arguments) {
        EXPECT_EQ(waitForFile(out), docs.path().string() + "\n" + arguments);
    }

    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes{StdinMode::Empty};
    std::string out = bin / "record";
};

TEST_F(PosixShell, TheEditorStartsInTheDocumentDirectoryWithTheQuotedPathAsOneArgument) {
    const std::string editor = recorder("editor");
    EXPECT_EQ(open(editor, "\"" + docs / "my paper.tex" + "\"", docs.path().string() + "/"), kShellOpenStarted);
    recorded("[" + docs / "my paper.tex" + "]\n");
}

TEST_F(PosixShell, ABareEditorNameIsFoundAlongPath) {
    recorder("kestro-test-editor");
    EnvironmentGuard path("PATH", "/nonexistent:" + bin.path().string() + ":/usr/bin:/bin");
    EXPECT_EQ(open("kestro-test-editor", "\"\"", docs.path().string()), kShellOpenStarted);
    recorded("[]\n");  // no document: one empty argument
}

TEST_F(PosixShell, AnEditorOrOpenerThatCannotStartIsReportedAsAFailure) {
    const std::string editor = writeScript(bin / "editor", "exit 0");
    writeScript(bin / "text", "exit 0", false);
    EnvironmentGuard path("PATH", bin.path().string());
    EnvironmentGuard opener("KESTRO_OPENER", docs / "no-opener");
    const std::string dir = docs.path().string();
    EXPECT_EQ(open("", "\"a.tex\"", dir), kShellOpenFailed);
    EXPECT_EQ(open(bin / "missing", "\"a.tex\"", dir), kShellOpenFailed);
    EXPECT_EQ(open("text", "\"a.tex\"", dir), kShellOpenFailed);
    EXPECT_EQ(open(editor, "\"a.tex\"", docs / "deleted"), kShellOpenFailed);
    EXPECT_EQ(open("paper.pdf", std::nullopt, dir), kShellOpenFailed);
}

TEST_F(PosixShell, ThePdfGoesToTheOpenerAndADashIsNotTakenForAnOption) {
    EnvironmentGuard opener("KESTRO_OPENER", recorder("opener"));
    EXPECT_EQ(open("paper one.pdf", std::nullopt, docs.path().string() + "/"), kShellOpenStarted);
    recorded("[paper one.pdf]\n");
    fs::remove(out);
    EXPECT_EQ(open("--help.pdf", std::nullopt, docs.path().string()), kShellOpenStarted);
    recorded("[./--help.pdf]\n");
}

}  // namespace
}  // namespace kestro

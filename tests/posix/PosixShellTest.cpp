#include "PosixShell.h"

#include <gtest/gtest.h>

#include "PosixProcesses.h"
#include "PosixTestScripts.h"

namespace kestro {
namespace {

using namespace posixtest;

// A program that records its working directory and each argument in `out`
// (by a rename, so the test never reads it half-written).
std::string recorderScript(const std::string& path, const std::string& out) {
    return writeScript(path, "{ pwd -P; printf '[%s]\\n' \"$@\"; } > '" + out + ".part' && mv '" + out + ".part' '" +
                                 out + "'");
}

ShellOpenRequest editorOpen(const std::string& editor, const std::string& parameters, const std::string& directory) {
    ShellOpenRequest request;
    request.verb = "open";
    request.file = editor;
    request.parameters = parameters;
    request.directory = directory;
    return request;
}

ShellOpenRequest pdfOpen(const std::string& file, const std::string& directory) {
    ShellOpenRequest request;
    request.verb = "open";
    request.file = file;
    request.directory = directory;
    return request;
}

TEST(PosixShell, TheEditorStartsInTheDocumentDirectoryWithTheQuotedPathAsOneArgument) {
    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = bin / "record";
    const std::string editor = recorderScript(bin / "editor", out);

    EXPECT_EQ(posixShellOpen(editorOpen(editor, "\"" + docs / "my paper.tex" + "\"", docs.path().string() + "/"),
                             processes),
              kShellOpenStarted);
    EXPECT_EQ(waitForFile(out), docs.path().string() + "\n[" + docs / "my paper.tex" + "]\n");
}

TEST(PosixShell, ABareEditorNameIsFoundAlongPath) {
    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = bin / "record";
    recorderScript(bin / "kestro-test-editor", out);
    EnvironmentGuard path("PATH", "/nonexistent:" + bin.path().string() + ":/usr/bin:/bin");

    EXPECT_EQ(posixShellOpen(editorOpen("kestro-test-editor", "\"\"", docs.path().string()), processes),
              kShellOpenStarted);
    // No document: the editor gets one empty argument.
    EXPECT_EQ(waitForFile(out), docs.path().string() + "\n[]\n");
}

TEST(PosixShell, AnEditorThatCannotStartIsReportedAsAFailure) {
    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    const std::string editor = writeScript(bin / "editor", "exit 0");
    writeScript(bin / "text", "exit 0", false);
    EnvironmentGuard path("PATH", bin.path().string());

    EXPECT_EQ(posixShellOpen(editorOpen("", "\"a.tex\"", docs.path().string()), processes), kShellOpenFailed);
    EXPECT_EQ(posixShellOpen(editorOpen(bin / "missing", "\"a.tex\"", docs.path().string()), processes),
              kShellOpenFailed);
    EXPECT_EQ(posixShellOpen(editorOpen("text", "\"a.tex\"", docs.path().string()), processes), kShellOpenFailed);
    EXPECT_EQ(posixShellOpen(editorOpen(editor, "\"a.tex\"", docs / "deleted"), processes), kShellOpenFailed);
    EXPECT_LE(kShellOpenFailed, 32);
    EXPECT_GT(kShellOpenStarted, 32);
}

TEST(PosixShell, ThePdfGoesToTheOpenerNamedByTheEnvironment) {
    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = bin / "record";
    EnvironmentGuard opener("KESTRO_OPENER", recorderScript(bin / "opener", out));

    EXPECT_EQ(posixShellOpen(pdfOpen("paper one.pdf", docs.path().string() + "/"), processes), kShellOpenStarted);
    EXPECT_EQ(waitForFile(out), docs.path().string() + "\n[paper one.pdf]\n");
}

TEST(PosixShell, APdfNameStartingWithADashIsNotTakenForAnOption) {
    ScratchDirectory bin;
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    const std::string out = bin / "record";
    EnvironmentGuard opener("KESTRO_OPENER", recorderScript(bin / "opener", out));

    EXPECT_EQ(posixShellOpen(pdfOpen("--help.pdf", docs.path().string()), processes), kShellOpenStarted);
    EXPECT_EQ(waitForFile(out), docs.path().string() + "\n[./--help.pdf]\n");
}

TEST(PosixShell, AMissingOpenerIsReportedAsAFailure) {
    ScratchDirectory docs;
    PosixProcesses processes(StdinMode::Empty);
    EnvironmentGuard opener("KESTRO_OPENER", docs / "no-opener");
    EXPECT_EQ(posixShellOpen(pdfOpen("paper.pdf", docs.path().string()), processes), kShellOpenFailed);
}

}  // namespace
}  // namespace kestro

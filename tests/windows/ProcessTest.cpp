// Starting real Windows programs (copies of the fake tool) through the
// core's launcher and the Win32 process layer.
#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "ScriptedUi.h"
#include "Win32FileSystem.h"
#include "Win32Processes.h"
#include "Win32Profile.h"
#include "Win32TestSupport.h"
#include "build/CommandLine.h"
#include "build/Launcher.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

using wintest::ScopedVariable;
using wintest::ScratchDirectory;

class Launching : public ::testing::Test {
protected:
    void SetUp() override {
        previousDirectory_ = files_.currentDirectory().value_or("");
        documentDir_ = scratch_.makeDirectory("document");
        pathDir_ = scratch_.makeDirectory("path bin");
        ASSERT_TRUE(files_.setCurrentDirectory(documentDir_));
    }
    void TearDown() override { files_.setCurrentDirectory(previousDirectory_); }

    std::vector<wintest::ToolRun> runs() const { return wintest::readToolRuns(report_); }

    ScratchDirectory scratch_{"kestro-run"};
    std::string documentDir_;
    std::string pathDir_;
    std::string report_ = scratch_.file("report.txt");
    ScopedVariable reportVariable_{"KESTRO_FAKE_REPORT", report_};
    std::string previousDirectory_;

    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    Win32Processes processes_;
    testing::ScriptedUi ui_;
    Services services_{PlatformRules::windows(), settings_, files_, processes_, ui_, "Kestro"};
};

TEST_F(Launching, ExitCodesComeBackSigned) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"3", 3}, {"255", 255}, {"256", 256}, {"4294967294", -2}}) {
        ScopedVariable exitCode("KESTRO_FAKE_EXIT", text);
        EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), expected) << text;
    }
    // Indistinguishable from a tool that cannot be started.
    ScopedVariable exitCode("KESTRO_FAKE_EXIT", "4294967295");
    EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), -1);
    EXPECT_EQ(runs().size(), 6u);
}

TEST_F(Launching, MissingProgramsGiveMinusOneWithoutStartingAnything) {
    ScopedVariable path("PATH", pathDir_);
    EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), -1);
    EXPECT_EQ(runAndWait(services_, "c:\\w32tex\\bin\\platex.exe", {stemPart("paper")}), -1);
    EXPECT_EQ(runNoWait(services_, "platex", {}), -1);
    EXPECT_TRUE(runs().empty());
}

TEST_F(Launching, TheDocumentDirectoryComesBeforeThePath) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    wintest::installFakeTool(pathDir_ + "\\platex.exe");
    ScopedVariable path("PATH", scratch_.file("empty") + ";" + pathDir_);
    EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), 0);
    ASSERT_TRUE(DeleteFileA((documentDir_ + "\\platex.exe").c_str()));
    EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), 0);
    const auto started = runs();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].module, documentDir_ + "\\platex.exe");
    EXPECT_EQ(started[1].module, pathDir_ + "\\platex.exe");
    // Both ran in the document's directory.
    EXPECT_EQ(started[1].directory, documentDir_);
}

TEST_F(Launching, ExtensionsAreTriedInTheirOrder) {
    // A Windows program starts whatever its extension says.
    wintest::installFakeTool(documentDir_ + "\\mendex.exe");
    wintest::installFakeTool(documentDir_ + "\\mendex.com");
    EXPECT_EQ(runAndWait(services_, "mendex", {stemPart("paper")}), 0);
    ASSERT_TRUE(DeleteFileA((documentDir_ + "\\mendex.com").c_str()));
    EXPECT_EQ(runAndWait(services_, "mendex", {stemPart("paper")}), 0);
    // A name with a dot is taken as written: "mendex.x" does not exist.
    EXPECT_EQ(runAndWait(services_, "mendex.x", {stemPart("paper")}), -1);
    const auto started = runs();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].module, documentDir_ + "\\mendex.com");
    EXPECT_EQ(started[1].module, documentDir_ + "\\mendex.exe");
}

TEST_F(Launching, AFullPathWithoutExtensionIsCompleted) {
    const std::string tex = scratch_.makeDirectory("w32tex");
    wintest::installFakeTool(tex + "\\platex.exe");
    EXPECT_EQ(runAndWait(services_, tex + "\\platex", {stemPart("paper")}), 0);
    const auto started = runs();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0].module, tex + "\\platex.exe");
}

TEST_F(Launching, ToolsReceiveTheCommandLineAndSplitItAsTheCoreDoes) {
    const std::string dir = scratch_.makeDirectory("TeX 表ソ");
    wintest::installFakeTool(dir + "\\mendex.exe");
    const std::string program = dir + "\\mendex.exe";
    const std::vector<CommandPart> parts = {optionsPart("-s myindex"), stemPart("my paper")};
    EXPECT_EQ(runAndWait(services_, program, parts), 0);
    EXPECT_EQ(runAndWait(services_, "mendex", {optionsPart(""), stemPart("paper")}), -1);
    ASSERT_TRUE(files_.setCurrentDirectory(dir));
    EXPECT_EQ(runAndWait(services_, "mendex", {optionsPart(""), stemPart("paper")}), 0);
    const auto started = runs();
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[0].commandLine, joinCommandLine(program, parts));
    // The C runtime of the tool splits it into the words the core expects.
    EXPECT_EQ(started[0].arguments, splitCommandLine(started[0].commandLine));
    ASSERT_EQ(started[0].arguments.size(), 4u);
    EXPECT_EQ(started[0].arguments[3], "my paper");
    // Empty options still leave their space: two spaces before the stem.
    EXPECT_EQ(started[1].commandLine, "mendex  paper");
}

TEST_F(Launching, StartWithoutWaitingReturnsAtOnce) {
    wintest::installFakeTool(documentDir_ + "\\cmd.exe");
    EXPECT_GE(runNoWait(services_, documentDir_ + "\\cmd.exe", {}), 0);
    // The tool writes its report on its own time.
    for (int i = 0; i < 100 && runs().empty(); ++i) Sleep(50);
    ASSERT_EQ(runs().size(), 1u);
    EXPECT_EQ(runs()[0].commandLine, documentDir_ + "\\cmd.exe");
}

TEST_F(Launching, AConsoleToolStartedWithoutAConsoleGetsItsOwn) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    // Like the bar, which is a windows program without a console.
    const bool hadConsole = GetConsoleWindow() != nullptr || GetConsoleCP() != 0;
    FreeConsole();
    const int result = runAndWait(services_, "platex", {stemPart("paper")});
    if (hadConsole) AttachConsole(ATTACH_PARENT_PROCESS);
    EXPECT_EQ(result, 0);
    const auto started = runs();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_TRUE(started[0].console);
}

TEST(Win32Processes, StartableMeansAFileOfThatName) {
    ScratchDirectory scratch("kestro-startable");
    Win32Processes processes;
    wintest::installFakeTool(scratch.file("tool.exe"));
    EXPECT_TRUE(processes.isStartable(scratch.file("tool.exe")));
    EXPECT_FALSE(processes.isStartable(scratch.file("tool")));
    EXPECT_FALSE(processes.isStartable(scratch.path()));
    EXPECT_FALSE(processes.isStartable(scratch.file("*.exe")));
    EXPECT_FALSE(processes.isStartable(""));
}

TEST(Win32Processes, EnvironmentTellsUnsetFromEmpty) {
    Win32Processes processes;
    {
        ScopedVariable set("KESTRO_PROBE", "C:\\bin;D:\\表");
        EXPECT_EQ(processes.environment("KESTRO_PROBE").value_or("unset"), "C:\\bin;D:\\表");
    }
    EXPECT_FALSE(processes.environment("KESTRO_PROBE").has_value());
    const std::string longValue(5000, 'p');
    ScopedVariable set("KESTRO_PROBE", longValue);
    EXPECT_EQ(processes.environment("KESTRO_PROBE").value_or(""), longValue);
}

}  // namespace
}  // namespace kestro

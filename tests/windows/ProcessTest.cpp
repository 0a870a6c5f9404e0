// Starting real Windows programs (copies of the fake tool) through the
// core's launcher and the Win32 process layer.
#include <gtest/gtest.h>

#include <tuple>

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
    void SetUp() override { ASSERT_TRUE(files_.setCurrentDirectory(documentDir_)); }
    void TearDown() override { files_.setCurrentDirectory(previousDirectory_); }

    std::vector<wintest::ToolRun> runs() const { return wintest::readToolRuns(report_); }

    ScratchDirectory scratch_{"kestro-run"};
    std::string documentDir_ = scratch_.makeDirectory("document");
    std::string pathDir_ = scratch_.makeDirectory("path bin");
    std::string report_ = scratch_.file("report.txt");
    ScopedVariable reportVariable_{"KESTRO_FAKE_REPORT", report_};

    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    std::string previousDirectory_ = files_.currentDirectory().value_or("");
    Win32Processes processes_;
    testing::ScriptedUi ui_;
    Services services_{PlatformRules::windows(), settings_, files_, processes_, ui_, "Kestro"};
};

TEST_F(Launching, ExitCodesComeBackSignedAndMissingProgramsGiveMinusOne) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    // Without a console of its own, like the bar, which is a windows program.
    const bool hadConsole = GetConsoleWindow() != nullptr || GetConsoleCP() != 0;
    FreeConsole();
    // 4294967295 is indistinguishable from a tool that cannot be started.
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{
             {"0", 0}, {"256", 256}, {"4294967294", -2}, {"4294967295", -1}}) {
        ScopedVariable exitCode("KESTRO_FAKE_EXIT", text);
        EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), expected) << text;
    }
    if (hadConsole) AttachConsole(ATTACH_PARENT_PROCESS);
    ASSERT_EQ(runs().size(), 4u);
    EXPECT_TRUE(runs()[0].console) << "a console tool gets a console of its own";
    ScopedVariable path("PATH", pathDir_);
    EXPECT_EQ(runAndWait(services_, "bibtex", {stemPart("paper")}), -1);
    EXPECT_EQ(runAndWait(services_, "c:\\w32tex\\bin\\platex.exe", {stemPart("paper")}), -1);
    EXPECT_EQ(runNoWait(services_, "bibtex", {}), -1);
    EXPECT_EQ(runs().size(), 4u);
}

TEST_F(Launching, LookupTriesTheDocumentDirectoryThenThePathAndExtensionsInOrder) {
    const std::string tex = scratch_.makeDirectory("w32tex");
    ScopedVariable path("PATH", scratch_.file("empty") + ";" + pathDir_);
    // Each row: the files there are, the name asked for, the one started
    // (empty: none); files are removed again after each row.
    const std::vector<std::tuple<std::vector<std::string>, std::string, std::string>> rows = {
        {{documentDir_ + "\\platex.exe", pathDir_ + "\\platex.exe"}, "platex", documentDir_ + "\\platex.exe"},
        {{pathDir_ + "\\platex.exe"}, "platex", pathDir_ + "\\platex.exe"},
        {{documentDir_ + "\\mendex.exe", documentDir_ + "\\mendex.com"}, "mendex", documentDir_ + "\\mendex.com"},
        {{documentDir_ + "\\mendex.exe"}, "mendex", documentDir_ + "\\mendex.exe"},
        {{documentDir_ + "\\mendex.exe"}, "mendex.x", ""},  // a name with a dot is taken as written
        {{tex + "\\platex.exe"}, tex + "\\platex", tex + "\\platex.exe"},
    };
    for (const auto& [present, name, started] : rows) {
        for (const std::string& file : present) wintest::installFakeTool(file);
        DeleteFileA(report_.c_str());
        EXPECT_EQ(runAndWait(services_, name, {stemPart("paper")}), started.empty() ? -1 : 0) << name;
        const auto ran = runs();
        EXPECT_EQ(ran.empty() ? "" : ran[0].module, started) << name;
        EXPECT_EQ(ran.empty() ? documentDir_ : ran[0].directory, documentDir_);  // run in the document's directory
        for (const std::string& file : present) DeleteFileA(file.c_str());
    }
    // Startable means a file of exactly that name.
    wintest::installFakeTool(tex + "\\tool.exe");
    EXPECT_TRUE(processes_.isStartable(tex + "\\tool.exe"));
    for (const std::string& name : {tex + "\\tool", tex, tex + "\\*.exe", std::string()}) {
        EXPECT_FALSE(processes_.isStartable(name)) << name;
    }
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
    EXPECT_EQ(started[0].commandLine, joinCommandLine(CodePage::Cp932, program, parts));
    // The C runtime of the tool splits it into the words the core expects.
    EXPECT_EQ(started[0].arguments, splitCommandLine(CodePage::Cp932, started[0].commandLine));
    ASSERT_EQ(started[0].arguments.size(), 4u);
    EXPECT_EQ(started[0].arguments[3], "my paper");
    // Empty options still leave their space: two spaces before the stem.
    EXPECT_EQ(started[1].commandLine, "mendex  paper");

    // Stems with a blank that end in a character whose second byte is 0x5C.
    DeleteFileA(report_.c_str());
    const std::vector<std::string> stems = {"能 表", "a ソ", "b 能"};
    for (const std::string& stem : stems) EXPECT_EQ(runAndWait(services_, program, {stemPart(stem)}), 0);
    const auto awkward = runs();
    ASSERT_EQ(awkward.size(), stems.size());
    for (std::size_t i = 0; i < stems.size(); ++i) {
        EXPECT_EQ(awkward[i].arguments, (std::vector<std::string>{program, stems[i]})) << awkward[i].commandLine;
    }
}

}  // namespace
}  // namespace kestro

// Real Windows programs (copies of the fake tool) started through the
// core's launcher and the Win32 process layer.
#include "FakePlatform.h"
#include "Win32TestSupport.h"
#include "build/Launcher.h"

namespace kestro {
namespace {

using wintest::ScopedVariable;

class Launching : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.setCurrentDirectory(documentDir_)); }
    void TearDown() override { files_.setCurrentDirectory(previous_); }
    std::vector<wintest::ToolRun> runs() const { return wintest::readToolRuns(report_); }

    wintest::ScratchDirectory scratch_{"kestro-run"};
    std::string documentDir_ = scratch_.makeDirectory("document");
    std::string report_ = scratch_.file("report.txt");
    ScopedVariable reportVariable_{"KESTRO_FAKE_REPORT", report_};
    Win32Profile profile_;
    SettingsFile settings_{profile_, scratch_.file("Kestro.ini")};
    Win32FileSystem files_;
    std::string previous_ = files_.currentDirectory().value_or("");
    Win32Processes processes_;
    fake::ScriptedUi ui_;
    Services services_{PlatformRules::windows(), settings_, files_, processes_, ui_, "Kestro"};
};

// A bare name is found in the document's directory, where the tool runs; a
// console tool gets a console of its own although the bar has none; exit
// codes come back signed, so 4294967295 reads as a tool not started.
TEST_F(Launching, ExitCodesComeBackSignedAndTheToolRunsInTheDocumentsDirectory) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    const bool hadConsole = GetConsoleWindow() != nullptr || GetConsoleCP() != 0;
    FreeConsole();
    for (const auto& [text, expected] :
         std::vector<std::pair<std::string, int>>{{"0", 0}, {"256", 256}, {"4294967294", -2}, {"4294967295", -1}}) {
        ScopedVariable exitCode("KESTRO_FAKE_EXIT", text);
        EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), expected) << text;
    }
    if (hadConsole) AttachConsole(ATTACH_PARENT_PROCESS);
    ASSERT_EQ(runs().size(), 4u);
    EXPECT_TRUE(runs()[0].console);
    EXPECT_EQ(runs()[0].module, documentDir_ + "\\platex.exe");
    EXPECT_EQ(runs()[0].directory, documentDir_);
    // Startable means a file of exactly that name.
    EXPECT_TRUE(processes_.isStartable(documentDir_ + "\\platex.exe"));
    for (const std::string& name : {documentDir_ + "\\platex", documentDir_, documentDir_ + "\\*.exe", std::string()}) {
        EXPECT_FALSE(processes_.isStartable(name)) << name;
    }
}

// The C runtime of a tool splits its command line into the words the core
// expects, also for stems that end in a character whose second byte is 0x5C.
TEST_F(Launching, ToolsSplitTheirCommandLineAsTheCoreDoes) {
    const std::string program = scratch_.makeDirectory("TeX 表ソ") + "\\mendex.exe";
    wintest::installFakeTool(program);
    const std::vector<std::string> stems = {"my paper", "能 表", "a ソ"};
    for (const std::string& stem : stems) EXPECT_EQ(runAndWait(services_, program, {optionsPart("-s my"), stemPart(stem)}), 0);
    const auto started = runs();
    ASSERT_EQ(started.size(), stems.size());
    for (std::size_t i = 0; i < stems.size(); ++i) {
        EXPECT_EQ(started[i].commandLine, joinCommandLine(CodePage::Cp932, program, {optionsPart("-s my"), stemPart(stems[i])}));
        EXPECT_EQ(started[i].arguments, (std::vector<std::string>{program, "-s", "my", stems[i]}));
    }
}

}  // namespace
}  // namespace kestro

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakePlatform.h"
#include "document/EditorAndPrompt.h"

namespace kestro {
namespace {

using testing::FakeBar;

const std::string kEditorHint =
    "好きな ｴﾃﾞｨﾀ を登録できます。(ﾃﾞﾌｫﾙﾄは ﾒﾓ帳 Notepad です。)\n"
    "「設定」->「ｴﾃﾞｨﾀ の登録」で選択して下さい。";
const std::string kEditorFailure = "Editor が起動できません！登録して下さい！";

BarState documentState(const std::string& dir, const std::string& stem) {
    BarState state;
    state.documentDir = dir;
    state.documentStem = stem;
    state.documentExt = ".tex";
    state.documentPath = dir + stem + ".tex";
    return state;
}

TEST(OpenInEditor, DocumentIsPassedQuotedInItsDirectory) {
    FakeBar bar(PlatformRules::windows());
    BarState state = documentState("C:\\my work\\", "my paper");
    state.editorPath = "c:\\WINDOWS\\NOTEPAD.exe";

    openInEditor(state, bar.services);

    ASSERT_EQ(bar.ui.shellOpens().size(), 1u);
    const ShellOpenRequest& open = bar.ui.shellOpens()[0];
    EXPECT_EQ(open.file, "c:\\WINDOWS\\NOTEPAD.exe");
    EXPECT_EQ(open.parameters, std::optional<std::string>("\"C:\\my work\\my paper.tex\""));
    EXPECT_EQ(open.directory, "C:\\my work\\");
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST(OpenInEditor, WithoutDocumentTheHintComesFirstAndTheEditorStillOpens) {
    FakeBar bar(PlatformRules::posix());
    BarState state;
    state.editorPath = "xdg-open";

    openInEditor(state, bar.services);

    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    EXPECT_EQ(bar.ui.boxes()[0].text, kEditorHint);
    ASSERT_EQ(bar.ui.events().size(), 2u);
    EXPECT_EQ(bar.ui.events()[1], "shell open: xdg-open");
    EXPECT_EQ(bar.ui.shellOpens()[0].parameters, std::optional<std::string>("\"\""));
    EXPECT_EQ(bar.ui.shellOpens()[0].directory, "");
}

TEST(OpenInEditor, AlreadyQuotedPathGetsASecondPairAndAFailureAtOrBelow32IsReported) {
    for (int result : {33, 32}) {
        SCOPED_TRACE(result);
        FakeBar bar(PlatformRules::windows());
        BarState state = documentState("C:\\w\\", "a");
        state.documentPath = "\"C:\\w\\a.tex\"";
        state.editorPath = "e.exe";
        bar.ui.answerShellOpen(result);
        openInEditor(state, bar.services);
        EXPECT_EQ(state.editorPath, "e.exe");  // a failure resets nothing
        EXPECT_EQ(bar.ui.shellOpens()[0].parameters, std::optional<std::string>("\"\"C:\\w\\a.tex\"\""));
        EXPECT_EQ(bar.ui.boxTexts(), result > 32 ? std::vector<std::string>{} : std::vector<std::string>{kEditorFailure});
    }
}

TEST(OpenCommandPrompt, WindowsStartsTheFixedConsoleInTheDocumentDirectoryOrStaysWhereItIs) {
    FakeBar bar(PlatformRules::windows());
    bar.files.addDirectory("C:\\work\\");
    bar.processes.install("c:\\windows\\system32\\cmd.exe", [](const ProcessRequest&) { return 0; });
    BarState gone = documentState("C:\\deleted\\", "paper");
    openCommandPrompt(gone, bar.services);
    EXPECT_EQ(bar.files.currentDirectory(), "C:\\start\\");

    BarState state = documentState("C:\\work\\", "paper");
    openCommandPrompt(state, bar.services);
    EXPECT_EQ(bar.files.currentDirectory(), "C:\\work\\");
    ASSERT_EQ(bar.processes.started().size(), 2u);
    EXPECT_EQ(bar.processes.started()[1].commandLine, "c:\\windows\\system32\\cmd.exe");
    EXPECT_TRUE(bar.ui.boxes().empty());
}

TEST(OpenCommandPrompt, LinuxTriesTheTerminalsInTurn) {
    FakeBar bar(PlatformRules::posix());
    bar.files.addDirectory("/home/u/work/");
    bar.processes.setEnvironment("PATH", "/usr/bin");
    bar.processes.setEnvironment("TERMINAL", "kitty");
    BarState state = documentState("/home/u/work/", "paper");

    // Only xterm is installed: the desktop's emulator and $TERMINAL are passed over.
    bar.processes.install("/usr/bin/xterm", [](const ProcessRequest&) { return 0; });
    openCommandPrompt(state, bar.services);
    ASSERT_EQ(bar.processes.started().size(), 1u);
    EXPECT_EQ(bar.processes.started()[0].executable, "/usr/bin/xterm");
    EXPECT_EQ(bar.files.currentDirectory(), "/home/u/work/");

    // $TERMINAL comes before xterm.
    bar.processes.install("/usr/bin/kitty", [](const ProcessRequest&) { return 0; });
    openCommandPrompt(state, bar.services);
    EXPECT_EQ(bar.processes.started().back().executable, "/usr/bin/kitty");

    // And the desktop's choice before both; one start per press.
    bar.processes.install("/usr/bin/x-terminal-emulator", [](const ProcessRequest&) { return 0; });
    openCommandPrompt(state, bar.services);
    EXPECT_EQ(bar.processes.started().back().executable, "/usr/bin/x-terminal-emulator");
    EXPECT_EQ(bar.processes.started().size(), 3u);
}

}  // namespace
}  // namespace kestro

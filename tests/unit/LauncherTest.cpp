#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "build/Launcher.h"

namespace kestro::testing {
namespace {

TEST(Launcher, WindowsLookupCommandLineAndExitCode) {
    FakeBar bar{PlatformRules::windows()};
    bar.processes.setEnvironment("PATH", "C:\\bin;C:\\tex");
    bar.processes.install("C:\\tex\\mendex.exe", [](const ProcessRequest&) { return 7; });
    EXPECT_EQ(runAndWait(bar.services, "mendex", {optionsPart(""), stemPart("paper")}), 7);
    const ProcessRequest& request = bar.processes.started().at(0);
    EXPECT_EQ(request.executable, "C:\\tex\\mendex.exe");
    EXPECT_EQ(request.commandLine, "mendex  paper");
    EXPECT_EQ(request.arguments, (std::vector<std::string>{"mendex", "paper"}));
}

TEST(Launcher, LinuxLooksAlongPathOnly) {
    FakeBar bar{PlatformRules::posix()};
    bar.processes.setEnvironment("PATH", "/usr/bin");
    bar.processes.install("./platex", [](const ProcessRequest&) { return 2; });
    EXPECT_EQ(runAndWait(bar.services, "platex", {stemPart("paper")}), -1);
    bar.processes.install("/usr/bin/platex", [](const ProcessRequest&) { return 0; });
    EXPECT_EQ(runAndWait(bar.services, "platex", {stemPart("paper")}), 0);
    EXPECT_EQ(bar.processes.started().back().executable, "/usr/bin/platex");
}

TEST(Launcher, ProgramAndStemWithBlanksStayOneWord) {
    FakeBar bar{PlatformRules::posix()};
    bar.processes.install("/opt/my tex/platex", [](const ProcessRequest&) { return 0; });
    EXPECT_EQ(runAndWait(bar.services, "/opt/my tex/platex", {stemPart("my paper")}), 0);
    const ProcessRequest& request = bar.processes.started().at(0);
    EXPECT_EQ(request.commandLine, "\"/opt/my tex/platex\" \"my paper\"");
    EXPECT_EQ(request.arguments, (std::vector<std::string>{"/opt/my tex/platex", "my paper"}));
}

// A stem that begins with "-" reaches every tool as a file name, never as
// an option; the options before it still split into words.
TEST(Launcher, StemThatLooksLikeAnOptionIsPassedAsAPath) {
    for (const PlatformRules& rules : {PlatformRules::windows(), PlatformRules::posix()}) {
        FakeBar bar{rules};
        const std::string tool = rules.isWindows() ? "C:\\t\\mendex.exe" : "/t/mendex";
        bar.processes.install(tool, [](const ProcessRequest&) { return 0; });
        for (const std::string stem : {"-x", "--help", "a-b"}) {
            runAndWait(bar.services, tool, {optionsPart("-s my"), stemPart(stem)});
            const std::string expected = stem.front() == '-' ? "./" + stem : stem;
            EXPECT_EQ(bar.processes.started().back().arguments, (std::vector<std::string>{tool, "-s", "my", expected}));
        }
    }
}

TEST(Launcher, NothingToStartIsMinusOne) {
    FakeBar bar{PlatformRules::windows()};
    EXPECT_EQ(runAndWait(bar.services, "platex", {stemPart("paper")}), -1);
    EXPECT_EQ(runNoWait(bar.services, "platex", {stemPart("paper")}), -1);
    EXPECT_EQ(runAndWait(bar.services, "", {}), -1);
    EXPECT_TRUE(bar.processes.started().empty());
}

TEST(Launcher, AllOnesExitCodeReadsAsNotStarted) {
    FakeBar bar{PlatformRules::windows()};
    // 4294967295 as the platform hands it over: a signed 32-bit value.
    bar.processes.install("C:\\t\\tool.exe", [](const ProcessRequest&) { return static_cast<int>(0xFFFFFFFFu); });
    EXPECT_EQ(runAndWait(bar.services, "C:\\t\\tool.exe", {}), -1);
}

}  // namespace
}  // namespace kestro::testing

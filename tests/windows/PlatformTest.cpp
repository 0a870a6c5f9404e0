// The Win32 platform services: the command-line tail, files, and real
// programs (copies of the fake tool) started through the core's launcher.
#include "CommandTail.h"
#include "FakePlatform.h"
#include "Win32TestSupport.h"
#include "build/Launcher.h"

namespace kestro {
namespace {

using wintest::ScopedVariable;
using wintest::ScratchDirectory;

TEST(CommandLineTail, SkipsTheProgramNameAsTheCRuntimeCutsItAndKeepsTheRestExactly) {
    const std::pair<const char*, const char*> cases[] = {
        {"Kestro.exe \t  paper.tex", "paper.tex"}, {"C:\\\"Program Files\"\\Kestro.exe x", "x"},
        {"Kestro.exe \"C:\\my work\\paper.tex\"", "\"C:\\my work\\paper.tex\""},
        {"Kestro.exe C:\\my work\\paper.tex  ", "C:\\my work\\paper.tex  "}, {"C:\\表\\Kestro.exe C:\\表\\ソ.tex", "C:\\表\\ソ.tex"},
    };
    for (const auto& [line, tail] : cases) EXPECT_EQ(commandLineTail(line), tail) << line;
}

// Exactly that name (a pattern is no name), times at their 100 ns, the
// subdirectories of a directory whose name ends in 表 (second byte 0x5C),
// a file being written read whole, and the causes of failed reads.
TEST(Win32FileSystem, NamesTimesDirectoriesAndReads) {
    ScratchDirectory scratch("kestro-fs");
    Win32FileSystem files;
    const std::string log = scratch.file("paper.log");
    HANDLE writer = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string content = "This is pTeX\r\n" + std::string(100000, 'l') + "\r\nLaTeX Warning: ラベル\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(files.readWholeFile(log), content);
    ULARGE_INTEGER ticks;
    ticks.QuadPart = 133485408000000003ULL;  // 2024-01-01 00:00:00 UTC and 3 ticks of 100 ns
    const FILETIME stamp{ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(SetFileTime(writer, nullptr, nullptr, &stamp));
    CloseHandle(writer);
    EXPECT_EQ(files.modificationTime(log).value_or(0), 1704067200LL * 1000000000LL + 300);
    EXPECT_FALSE(files.exists(scratch.file("*.log")) || files.exists(scratch.file("paper.lo?")));

    const std::string table = scratch.makeDirectory("表");
    CreateDirectoryA((table + "\\bin").c_str(), nullptr);
    EXPECT_EQ(files.subdirectories(table), (std::vector<std::string>{"bin"}));

    HANDLE exclusive = CreateFileA(scratch.file("locked.aux").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::pair<std::string, FileErrorCause> failures[] = {
        {scratch.file("locked.aux"), FileErrorCause::SharingViolation}, {scratch.file("absent.log"), FileErrorCause::NotFound},
        {scratch.file("no-such-directory\\paper.log"), FileErrorCause::InvalidPath}, {"NUL", FileErrorCause::Other},
    };
    for (const auto& [path, cause] : failures) {
        try {
            files.readWholeFile(path);
            ADD_FAILURE() << "read " << path;
        } catch (const FileError& error) {
            if (path != "NUL") EXPECT_EQ(error.cause(), cause) << path;
        }
    }
    CloseHandle(exclusive);
}

class Launching : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(files_.setCurrentDirectory(documentDir_)); }
    void TearDown() override { files_.setCurrentDirectory(previous_); }
    std::vector<wintest::ToolRun> runs() const { return wintest::readToolRuns(report_); }

    ScratchDirectory scratch_{"kestro-run"};
    std::string documentDir_ = scratch_.makeDirectory("document");
    std::string report_ = scratch_.file("report.txt");
    ScopedVariable reportVariable_{"KESTRO_FAKE_REPORT", report_};
    fake::FakeBar fake_{PlatformRules::windows()};
    Win32FileSystem files_;
    std::string previous_ = files_.currentDirectory().value_or("");
    Win32Processes processes_;
    Services services_{PlatformRules::windows(), fake_.settings, files_, processes_, fake_.ui, "Kestro"};
};

// A bare name is found in the document's directory, where the tool runs; a
// console tool gets a console of its own although the bar has none; exit
// codes come back signed, so 4294967295 reads as a tool not started; and
// startable means a file of exactly that name.
TEST_F(Launching, ExitCodesComeBackSignedAndTheToolRunsInTheDocumentsDirectory) {
    wintest::installFakeTool(documentDir_ + "\\platex.exe");
    const bool hadConsole = GetConsoleWindow() != nullptr || GetConsoleCP() != 0;
    FreeConsole();
    for (const auto& [text, expected] : std::vector<std::pair<std::string, int>>{{"256", 256}, {"4294967295", -1}}) {
        ScopedVariable exitCode("KESTRO_FAKE_EXIT", text);
        EXPECT_EQ(runAndWait(services_, "platex", {stemPart("paper")}), expected) << text;
    }
    if (hadConsole) AttachConsole(ATTACH_PARENT_PROCESS);
    ASSERT_EQ(runs().size(), 2u);
    EXPECT_TRUE(runs()[0].console);
    EXPECT_EQ(runs()[0].module, documentDir_ + "\\platex.exe");
    EXPECT_EQ(runs()[0].directory, documentDir_);
    for (const std::string& name : {documentDir_ + "\\platex", documentDir_ + "\\*.exe", std::string()}) {
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
    ASSERT_EQ(runs().size(), stems.size());
    for (std::size_t i = 0; i < stems.size(); ++i) {
        EXPECT_EQ(runs()[i].arguments, (std::vector<std::string>{program, "-s", "my", stems[i]}));
    }
}

}  // namespace
}  // namespace kestro

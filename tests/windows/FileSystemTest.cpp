// Files and directories through the Win32 layer, and the command-line tail
// the start-up document comes from.
#include "CommandTail.h"
#include "Win32TestSupport.h"

namespace kestro {
namespace {

using wintest::ScratchDirectory;

TEST(CommandLineTail, SkipsTheProgramNameAsTheCRuntimeCutsItAndKeepsTheRestExactly) {
    const std::pair<const char*, const char*> cases[] = {
        {"Kestro.exe \t  paper.tex", "paper.tex"},
        {"", ""},
        {"C:\\\"Program Files\"\\Kestro.exe x", "x"},  // quotes inside the name toggle too
        {"Kestro.exe \"C:\\my work\\paper.tex\"", "\"C:\\my work\\paper.tex\""},
        {"Kestro.exe C:\\my work\\paper.tex  ", "C:\\my work\\paper.tex  "},
        {"C:\\表\\Kestro.exe C:\\表\\ソ.tex", "C:\\表\\ソ.tex"},
    };
    for (const auto& [line, tail] : cases) EXPECT_EQ(commandLineTail(line), tail) << line;
}

// Exactly that name (a pattern is no name), times at their 100 ns, and the
// subdirectories of a directory whose name ends in 表 (second byte 0x5C).
TEST(Win32FileSystem, NamesTimesAndSubdirectories) {
    ScratchDirectory scratch("kestro-fs");
    Win32FileSystem files;
    wintest::writeFile(scratch.file("論文.tex"), "x");
    EXPECT_TRUE(files.exists(scratch.file("論文.tex")));
    EXPECT_FALSE(files.exists(scratch.file("*.tex")));
    EXPECT_FALSE(files.exists(scratch.file("論文.te?")));
    EXPECT_FALSE(files.modificationTime(scratch.file("paper.dvi")).has_value());

    const std::string path = scratch.file("paper.dvi");
    wintest::writeFile(path, "a");
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ULARGE_INTEGER ticks;
    ticks.QuadPart = 133485408000000003ULL;  // 2024-01-01 00:00:00 UTC and 3 ticks of 100 ns
    const FILETIME stamp{ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
    EXPECT_EQ(files.modificationTime(path).value_or(0), 1704067200LL * 1000000000LL + 300);

    const std::string table = scratch.makeDirectory("表");
    CreateDirectoryA((table + "\\bin").c_str(), nullptr);
    wintest::writeFile(table + "\\readme.txt", "x");
    EXPECT_EQ(files.subdirectories(table), (std::vector<std::string>{"bin"}));
    EXPECT_EQ(files.subdirectories(table + "\\"), (std::vector<std::string>{"bin"}));
}

// A file being written is read whole, as the TeX tools share their files;
// the causes of failures are named; a device is not read.
TEST(Win32FileSystem, ReadsAFileBeingWrittenAndNamesTheCauseOfAFailedRead) {
    ScratchDirectory scratch("kestro-read");
    Win32FileSystem files;
    const std::string log = scratch.file("paper.log");
    HANDLE writer = CreateFileA(log.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    const std::string content = "This is pTeX\r\n" + std::string(100000, 'l') + "\r\nLaTeX Warning: ラベル\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(files.readWholeFile(log), content);
    CloseHandle(writer);

    HANDLE exclusive = CreateFileA(scratch.file("locked.aux").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
    const auto causeOf = [&](const std::string& path) {
        try {
            files.readWholeFile(path);
        } catch (const FileError& error) {
            return error.cause();
        }
        return FileErrorCause::Other;
    };
    EXPECT_EQ(causeOf(scratch.file("locked.aux")), FileErrorCause::SharingViolation);
    CloseHandle(exclusive);
    EXPECT_EQ(causeOf(scratch.file("absent.log")), FileErrorCause::NotFound);
    EXPECT_EQ(causeOf(scratch.file("no-such-directory\\paper.log")), FileErrorCause::InvalidPath);
    EXPECT_THROW(files.readWholeFile("NUL"), FileError);
}

}  // namespace
}  // namespace kestro

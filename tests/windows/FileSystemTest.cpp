// Files and directories through the Win32 layer.
#include <gtest/gtest.h>

#include "Win32FileSystem.h"
#include "Win32TestSupport.h"

namespace kestro {
namespace {

using wintest::ScratchDirectory;

TEST(Win32FileSystem, ExistsForFilesAndDirectoriesOfExactlyThatName) {
    ScratchDirectory scratch("kestro-fs");
    Win32FileSystem files;
    const std::string document = scratch.file("論文.tex");
    wintest::writeFile(document, "x");
    EXPECT_TRUE(files.exists(document));
    EXPECT_TRUE(files.exists(scratch.path()));
    EXPECT_FALSE(files.exists(scratch.file("論文.pdf")));
    EXPECT_FALSE(files.exists(""));
    // A pattern is not a name, even when a file matches it.
    EXPECT_FALSE(files.exists(scratch.file("*.tex")));
    EXPECT_FALSE(files.exists(scratch.file("論文.te?")));
}

TEST(Win32FileSystem, ModificationTimesOrderWritesAtFullResolution) {
    ScratchDirectory scratch("kestro-time");
    Win32FileSystem files;
    const std::string path = scratch.file("paper.dvi");
    EXPECT_FALSE(files.modificationTime(path).has_value());
    wintest::writeFile(path, "a");
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    // 2024-01-01 00:00:00 UTC plus 3 ticks of 100 ns.
    ULARGE_INTEGER ticks;
    ticks.QuadPart = 133485408000000003ULL;
    FILETIME stamp{ticks.LowPart, ticks.HighPart};
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &stamp));
    CloseHandle(file);
    const std::optional<FileTime> time = files.modificationTime(path);
    ASSERT_TRUE(time.has_value());
    EXPECT_EQ(*time, 1704067200LL * 1000000000LL + 300);
    EXPECT_EQ(fileTimeFromWin32(ticks.LowPart, ticks.HighPart) - fileTimeFromWin32(ticks.LowPart - 1, ticks.HighPart),
              100);
}

TEST(Win32FileSystem, ReadsAFileAnotherProcessIsStillWriting) {
    ScratchDirectory scratch("kestro-read");
    Win32FileSystem files;
    const std::string path = scratch.file("paper.log");
    // A writer that lets others read and write, as the TeX tools do.
    HANDLE writer = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    std::string content = "This is pTeX\r\n";
    content += std::string(100000, 'l') + "\r\nLaTeX Warning: ラベル\r\n";
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(writer, content.data(), static_cast<DWORD>(content.size()), &written, nullptr));
    EXPECT_EQ(files.readWholeFile(path), content);
    CloseHandle(writer);
}

TEST(Win32FileSystem, ReadFailuresNameTheirCause) {
    ScratchDirectory scratch("kestro-fail");
    Win32FileSystem files;
    try {
        files.readWholeFile(scratch.file("absent.log"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::NotFound);
        EXPECT_EQ(error.fileName(), scratch.file("absent.log"));
    }
    try {
        files.readWholeFile(scratch.file("no-such-directory\\paper.log"));
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::InvalidPath);
    }
    const std::string locked = scratch.file("locked.aux");
    HANDLE exclusive = CreateFileA(locked.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                   nullptr);
    ASSERT_NE(exclusive, INVALID_HANDLE_VALUE);
    try {
        files.readWholeFile(locked);
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::SharingViolation);
    }
    CloseHandle(exclusive);
    EXPECT_EQ(fileErrorCauseFor(ERROR_ACCESS_DENIED), FileErrorCause::AccessDenied);
    EXPECT_EQ(fileErrorCauseFor(ERROR_TOO_MANY_OPEN_FILES), FileErrorCause::TooManyOpenFiles);
    EXPECT_EQ(fileErrorCauseFor(ERROR_LOCK_VIOLATION), FileErrorCause::LockViolation);
    EXPECT_EQ(fileErrorCauseFor(ERROR_CRC), FileErrorCause::HardwareIo);
    EXPECT_EQ(fileErrorCauseFor(ERROR_INVALID_HANDLE), FileErrorCause::InvalidHandle);
    EXPECT_EQ(fileErrorCauseFor(ERROR_NO_MORE_FILES), FileErrorCause::Other);
}

TEST(Win32FileSystem, ChangesTheCurrentDirectoryAndReportsFailure) {
    ScratchDirectory scratch("kestro-cwd");
    Win32FileSystem files;
    const std::optional<std::string> before = files.currentDirectory();
    ASSERT_TRUE(before.has_value());
    const std::string japanese = scratch.makeDirectory("表ソ");
    EXPECT_TRUE(files.setCurrentDirectory(japanese + "\\"));
    EXPECT_EQ(files.currentDirectory().value_or(""), japanese);
    EXPECT_FALSE(files.setCurrentDirectory(scratch.file("gone")));
    EXPECT_FALSE(files.setCurrentDirectory(""));
    EXPECT_EQ(files.currentDirectory().value_or(""), japanese);
    EXPECT_TRUE(files.setCurrentDirectory(*before));
}

}  // namespace
}  // namespace kestro

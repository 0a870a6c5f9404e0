#include "PosixFileSystem.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

#include "PosixTestScripts.h"
#include "build/FileError.h"

namespace kestro {
namespace {

using namespace posixtest;

FileErrorCause causeOfReading(PosixFileSystem& files, const std::string& path) {
    try {
        files.readWholeFile(path);
    } catch (const FileError& error) {
        EXPECT_EQ(error.fileName(), path);
        return error.cause();
    }
    ADD_FAILURE() << "no file error for " << path;
    return FileErrorCause::Other;
}

void setModificationTime(const std::string& path, time_t seconds, long nanoseconds) {
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

TEST(PosixFileSystem, ExistsForEveryKindOfEntryButNotForAMissingName) {
    ScratchDirectory dir;
    PosixFileSystem files;
    writeFile(dir / "paper.tex", "x");
    fs::create_directory(dir.path() / "sub");
    fs::create_symlink(dir / "gone", dir.path() / "dangling");

    EXPECT_TRUE(files.exists(dir / "paper.tex"));
    EXPECT_TRUE(files.exists(dir / "sub"));
    EXPECT_TRUE(files.exists(dir / "dangling"));
    EXPECT_FALSE(files.exists(dir / "paper.pdf"));
    EXPECT_FALSE(files.exists(""));
}

// The directory search lists TeX Live's releases; a release may be a link.
TEST(PosixFileSystem, SubdirectoriesAreDirectoriesAndLinksToThem) {
    ScratchDirectory dir;
    PosixFileSystem files;
    fs::create_directory(dir.path() / "2024");
    fs::create_directory_symlink(dir / "2024", dir.path() / "current");
    writeFile(dir / "README", "x");
    fs::create_symlink(dir / "gone", dir.path() / "dangling");

    std::vector<std::string> names = files.subdirectories(dir.path().string() + "/");
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"2024", "current"}));
    EXPECT_TRUE(files.subdirectories(dir / "missing").empty());
}

TEST(PosixFileSystem, ModificationTimeKeepsNanosecondsSoWritesMillisecondsApartAreOrdered) {
    ScratchDirectory dir;
    PosixFileSystem files;
    writeFile(dir / "old.dvi", "a");
    writeFile(dir / "new.dvi", "b");
    // 20 ms apart inside one second: a whole-second clock could not tell them apart.
    setModificationTime(dir / "old.dvi", 1'700'000'000, 100'000'000);
    setModificationTime(dir / "new.dvi", 1'700'000'000, 120'000'000);

    const auto older = files.modificationTime(dir / "old.dvi");
    const auto newer = files.modificationTime(dir / "new.dvi");
    ASSERT_TRUE(older && newer);
    EXPECT_EQ(*older, 1'700'000'000'100'000'000LL);
    EXPECT_EQ(*newer - *older, 20'000'000);
    EXPECT_EQ(files.modificationTime(dir / "missing.dvi"), std::nullopt);
}

TEST(PosixFileSystem, ReadWholeFileReturnsEveryByteNulsIncluded) {
    ScratchDirectory dir;
    PosixFileSystem files;
    const std::string withNul("before\0after\n", 13);
    writeFile(dir / "paper.log", withNul);
    writeFile(dir / "empty.aux", "");
    std::string big(300'000, 'x');
    for (std::size_t i = 0; i < big.size(); i += 997) big[i] = static_cast<char>(i % 251);
    writeFile(dir / "big.toc", big);

    EXPECT_EQ(files.readWholeFile(dir / "paper.log"), withNul);
    EXPECT_EQ(files.readWholeFile(dir / "empty.aux"), "");
    EXPECT_EQ(files.readWholeFile(dir / "big.toc"), big);
    // The core's text view of the same file ends at the zero byte.
    EXPECT_EQ(readWholeFile(files, dir / "paper.log"), "before");
}

TEST(PosixFileSystem, ReadWholeFileReadsTheLengthTheFileHadWhenOpened) {
    // A file of /proc reports the length 0, whatever it would go on to give,
    // as a log that a tool keeps writing has only its length at open.
    PosixFileSystem files;
    EXPECT_EQ(files.readWholeFile("/proc/self/status"), "");
}

TEST(PosixFileSystem, ReadWholeFileNamesTheCauseOfAFailure) {
    ScratchDirectory dir;
    PosixFileSystem files;
    writeFile(dir / "plain", "x");
    fs::create_directory(dir.path() / "folder.log");
    ASSERT_EQ(::mkfifo((dir / "pipe.log").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", dir.path() / "zero.toc");

    EXPECT_EQ(causeOfReading(files, dir / "missing.log"), FileErrorCause::NotFound);
    EXPECT_EQ(causeOfReading(files, dir / "folder.log"), FileErrorCause::AccessDenied);
    EXPECT_EQ(causeOfReading(files, dir / "plain/below.aux"), FileErrorCause::InvalidPath);
    // A named pipe is refused instead of blocking the read, a device that
    // never ends instead of filling the memory.
    EXPECT_EQ(causeOfReading(files, dir / "pipe.log"), FileErrorCause::Other);
    EXPECT_EQ(causeOfReading(files, dir / "zero.toc"), FileErrorCause::Other);
}

TEST(PosixFileSystem, ReadWholeFileOfAnUnreadableFileIsAccessDenied) {
    ScratchDirectory dir;
    ::chmod(dir.path().c_str(), 0755);
    writeFile(dir / "secret.aux", "x");
    ::chmod((dir / "secret.aux").c_str(), 0);
    // Root reads every file, so the read runs as nobody in a child that
    // exits with the cause's number, 100 without an error.
    const int code = inChild([&] {
        PosixFileSystem files;
        try {
            files.readWholeFile(dir / "secret.aux");
        } catch (const FileError& error) {
            return static_cast<int>(error.cause());
        }
        return 100;
    }, true);
    if (code == 77) GTEST_SKIP() << "cannot switch to user nobody";
    EXPECT_EQ(code, static_cast<int>(FileErrorCause::AccessDenied));
}

TEST(PosixFileSystem, CurrentDirectoryFollowsSetCurrentDirectoryAndSurvivesAFailedChange) {
    CurrentDirectoryGuard guard;
    ScratchDirectory dir;
    PosixFileSystem files;

    ASSERT_TRUE(files.setCurrentDirectory(dir.path().string()));
    EXPECT_EQ(files.currentDirectory(), dir.path().string());
    EXPECT_FALSE(files.setCurrentDirectory(dir / "gone"));
    EXPECT_FALSE(files.setCurrentDirectory(""));
    EXPECT_EQ(files.currentDirectory(), dir.path().string());
}

TEST(PosixFileSystem, CurrentDirectoryLongerThanPathMaxIsReadWhole) {
    CurrentDirectoryGuard guard;
    ScratchDirectory dir;
    PosixFileSystem files;
    const std::string level(200, 'd');
    constexpr int kLevels = 25;  // more than 4096 bytes in all

    ASSERT_TRUE(files.setCurrentDirectory(dir.path().string()));
    for (int i = 0; i < kLevels; ++i) {
        ASSERT_EQ(::mkdir(level.c_str(), 0755), 0);
        ASSERT_TRUE(files.setCurrentDirectory(level));
    }
    const auto current = files.currentDirectory();
    std::string expected = dir.path().string();
    for (int i = 0; i < kLevels; ++i) expected += "/" + level;
    EXPECT_GT(expected.size(), 4096u);
    EXPECT_EQ(current, expected);

    // Relative steps back up: the whole path is too long for one rmdir.
    for (int i = 0; i < kLevels; ++i) {
        ASSERT_TRUE(files.setCurrentDirectory(".."));
        ASSERT_EQ(::rmdir(level.c_str()), 0);
    }
}

}  // namespace
}  // namespace kestro

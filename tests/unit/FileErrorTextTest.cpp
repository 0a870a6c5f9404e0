#include <gtest/gtest.h>

#include <new>

#include "FakePlatform.h"
#include "build/DocumentDirectory.h"
#include "build/FileError.h"

namespace kestro::testing {
namespace {

TEST(FileErrorText, EachCauseHasItsText) {
    const std::vector<std::pair<FileErrorCause, std::string>> expected = {
        {FileErrorCause::NotFound, "paper.log が見つかりませんでした。"},
        {FileErrorCause::InvalidPath, "paper.log には無効なﾊﾟｽが含まれています。"},
        {FileErrorCause::TooManyOpenFiles, "開いているﾌｧｲﾙが多すぎるため、paper.log を開けませんでした。"},
        {FileErrorCause::AccessDenied, "paper.log へのｱｸｾｽは拒否されました。"},
        {FileErrorCause::InvalidHandle, "paper.log へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。"},
        {FileErrorCause::HardwareIo, "paper.log へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。"},
        {FileErrorCause::SharingViolation, "paper.log へのｱｸｾｽ中に共有違反が発生しました。"},
        {FileErrorCause::LockViolation, "paper.log へのｱｸｾｽ中にﾛｯｸ違反が発生しました。"},
        {FileErrorCause::Other, "paper.log へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"},
    };
    for (const auto& [cause, text] : expected) {
        EXPECT_EQ(fileErrorText(FileError(cause, "paper.log")), text);
    }
}

TEST(ReadWholeFile, EndsAtTheFirstZeroByte) {
    FakeBar bar{PlatformRules::posix()};
    bar.files.write("/d/a.log", std::string("one\r\ntwo\0three", 13));
    EXPECT_EQ(readWholeFile(bar.files, "/d/a.log"), "one\r\ntwo");
    bar.files.write("/d/b.log", std::string("\0rest", 5));
    EXPECT_EQ(readWholeFile(bar.files, "/d/b.log"), "");
    bar.files.write("/d/c.log", "whole");
    EXPECT_EQ(readWholeFile(bar.files, "/d/c.log"), "whole");
}

TEST(ReadWholeFile, PassesTheCauseOn) {
    FakeBar bar{PlatformRules::posix()};
    bar.files.write("/d/a.aux", "x");
    bar.files.failReads("/d/a.aux", FileErrorCause::SharingViolation);
    try {
        readWholeFile(bar.files, "/d/a.aux");
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause(), FileErrorCause::SharingViolation);
        EXPECT_EQ(error.fileName(), "/d/a.aux");
    }
}

class ExhaustedFileSystem : public MemoryFileSystem {
public:
    std::string readWholeFile(const std::string&) override { throw std::bad_alloc(); }
};

TEST(ReadWholeFile, AllocationFailureIsAMemoryError) {
    ExhaustedFileSystem files;
    EXPECT_THROW(readWholeFile(files, "big.log"), MemoryError);
}

TEST(DocumentDirectory, EntersItOrThrowsNotFound) {
    FakeBar bar{PlatformRules::windows()};
    BarState state;
    enterDocumentDirectory(state, bar.services);  // no directory: stays put
    EXPECT_TRUE(bar.files.directoryChanges.empty());

    state.documentDir = "C:\\doc\\";
    try {
        enterDocumentDirectory(state, bar.services);
        FAIL() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(fileErrorText(error), "C:\\doc\\ が見つかりませんでした。");
    }
    EXPECT_EQ(bar.files.currentDirectory(), "C:\\start\\");

    bar.files.addDirectory("C:\\doc\\");
    enterDocumentDirectory(state, bar.services);
    EXPECT_EQ(bar.files.currentDirectory(), "C:\\doc\\");
}

}  // namespace
}  // namespace kestro::testing

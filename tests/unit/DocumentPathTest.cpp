#include <gtest/gtest.h>

#include <string>

#include "document/DocumentPath.h"

namespace kestro {
namespace {

const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

void expectParts(const DocumentParts& parts, const std::string& directory, const std::string& stem,
                 const std::string& extension) {
    EXPECT_EQ(parts.directory, directory);
    EXPECT_EQ(parts.stem, stem);
    EXPECT_EQ(parts.extension, extension);
}

class WindowsDocumentPath : public ::testing::Test {
protected:
    DocumentParts split(const std::string& path) const {
        return splitDocumentPath(PlatformRules::windows(), path);
    }
};

TEST_F(WindowsDocumentPath, ExtensionStartsAtTheFileNamesLastDot) {
    expectParts(split("C:\\work\\paper.tex"), "C:\\work\\", "paper", ".tex");
    expectParts(split("C:\\work\\paper.final.tex"), "C:\\work\\", "paper.final", ".tex");
    expectParts(split("C:\\my.dir\\paper"), "C:\\my.dir\\", "paper", "");
    expectParts(split("C:\\work\\paper."), "C:\\work\\", "paper", ".");
    expectParts(split("C:\\work\\.tex"), "C:\\work\\", "", ".tex");
}

TEST_F(WindowsDocumentPath, BothSlashesSeparateAndTheLastOneWins) {
    expectParts(split("C:/work\\sub/paper.tex"), "C:/work\\sub/", "paper", ".tex");
    expectParts(split("\\\\server\\share\\paper.tex"), "\\\\server\\share\\", "paper", ".tex");
    expectParts(split("paper.tex"), "", "paper", ".tex");
    expectParts(split("sub\\paper.tex"), "sub\\", "paper", ".tex");
}

TEST_F(WindowsDocumentPath, DriveBelongsToTheDirectory) {
    expectParts(split("C:"), "C:", "", "");
    expectParts(split("C:\\"), "C:\\", "", "");
    expectParts(split("C:paper.tex"), "C:", "paper", ".tex");
    expectParts(split("C:\\work\\"), "C:\\work\\", "", "");
    expectParts(split(""), "", "", "");
    // A colon further on is part of the name.
    expectParts(split("ab:c.tex"), "", "ab:c", ".tex");
}

TEST_F(WindowsDocumentPath, TrailBytesAreNeitherSeparatorsNorDots) {
    expectParts(split(kHyo + ".tex"), "", kHyo, ".tex");
    expectParts(split("C:\\" + kSo + "\\" + kHyo + ".tex"), "C:\\" + kSo + "\\", kHyo, ".tex");
    expectParts(split("C:\\work\\" + kHyo + kSo), "C:\\work\\", kHyo + kSo, "");
    // Half-width katakana are single bytes, so the backslash after one separates.
    expectParts(split("C:\\\xB1\\p.tex"), "C:\\\xB1\\", "p", ".tex");
}

TEST_F(WindowsDocumentPath, InvalidDoubleByteSequencesSplitByteByByte) {
    // 0x95 before '/' has no trail byte: the slash still separates.
    expectParts(split("C:\\a\x95/b.tex"), "C:\\a\x95/", "b", ".tex");
    // A lone lead byte at the end stays in the extension.
    expectParts(split("C:\\w\\a.t\x95"), "C:\\w\\", "a", ".t\x95");
}

TEST_F(WindowsDocumentPath, EachPartIsCutTo255BytesOnACharacterBoundary) {
    const DocumentParts longStem = split("C:\\w\\" + std::string(300, 'a') + ".tex");
    EXPECT_EQ(longStem.stem, std::string(255, 'a'));
    EXPECT_EQ(longStem.extension, ".tex");

    std::string kanji;
    for (int i = 0; i < 150; ++i) kanji += kHyo;
    const DocumentParts kanjiStem = split("C:\\w\\" + kanji + ".tex");
    EXPECT_EQ(kanjiStem.stem, kanji.substr(0, 254));

    const std::string longDir = "C:\\" + std::string(300, 'd') + "\\";
    const DocumentParts longDirectory = split(longDir + "paper.tex");
    EXPECT_EQ(longDirectory.directory, longDir.substr(0, 255));
    EXPECT_EQ(longDirectory.stem, "paper");

    const DocumentParts longExtension = split("C:\\w\\a." + std::string(300, 'x'));
    EXPECT_EQ(longExtension.extension, "." + std::string(254, 'x'));
}

class PosixDocumentPath : public ::testing::Test {
protected:
    DocumentParts split(const std::string& path) const {
        return splitDocumentPath(PlatformRules::posix(), path);
    }
};

TEST_F(PosixDocumentPath, OnlySlashSeparatesAndThereIsNoDrive) {
    expectParts(split("/home/u/paper.final.tex"), "/home/u/", "paper.final", ".tex");
    expectParts(split("/home/u/a\\b.tex"), "/home/u/", "a\\b", ".tex");
    expectParts(split("C:paper.tex"), "", "C:paper", ".tex");
    expectParts(split("/"), "/", "", "");
    expectParts(split("/home/u/"), "/home/u/", "", "");
    expectParts(split("/home/u.v/README"), "/home/u.v/", "README", "");
    expectParts(split("/home/u/.hidden"), "/home/u/", "", ".hidden");
}

TEST_F(PosixDocumentPath, JapaneseNamesAreKeptWholeAndNothingIsCut) {
    expectParts(split("/home/u/論文/表.tex"), "/home/u/論文/", "表", ".tex");
    const std::string longName(400, 'a');
    const std::string longDir = "/" + std::string(300, 'd') + "/";
    expectParts(split(longDir + longName + ".tex"), longDir, longName, ".tex");
}

}  // namespace
}  // namespace kestro

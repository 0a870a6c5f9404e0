#include <gtest/gtest.h>

#include <string>

#include "document/DocumentPath.h"

namespace kestro {
namespace {

const std::string kHyo = "\x95\x5C";  // 表
const std::string kSo = "\x83\x5C";   // ソ

// One path per row: the platform, the path, and its directory, stem and
// extension. On Windows both slashes separate, the drive belongs to the
// directory, and trail bytes are neither separators nor dots; on Linux only
// "/" separates and there is no drive.
TEST(DocumentPath, SplitsIntoDirectoryStemAndExtension) {
    struct Case {
        bool windows;
        std::string path, directory, stem, extension;
    };
    const Case cases[] = {
        {true, "C:\\work\\paper.tex", "C:\\work\\", "paper", ".tex"},
        {true, "C:\\work\\paper.final.tex", "C:\\work\\", "paper.final", ".tex"},
        {true, "C:\\my.dir\\paper", "C:\\my.dir\\", "paper", ""},
        {true, "C:\\work\\paper.", "C:\\work\\", "paper", "."},
        {true, "C:\\work\\.tex", "C:\\work\\", "", ".tex"},
        {true, "C:/work\\sub/paper.tex", "C:/work\\sub/", "paper", ".tex"},
        {true, "\\\\server\\share\\paper.tex", "\\\\server\\share\\", "paper", ".tex"},
        {true, "paper.tex", "", "paper", ".tex"},
        {true, "C:", "C:", "", ""},
        {true, "C:\\", "C:\\", "", ""},
        {true, "C:paper.tex", "C:", "paper", ".tex"},
        {true, "", "", "", ""},
        // A colon further on is part of the name.
        {true, "ab:c.tex", "", "ab:c", ".tex"},
        {true, kHyo + ".tex", "", kHyo, ".tex"},
        {true, "C:\\" + kSo + "\\" + kHyo + ".tex", "C:\\" + kSo + "\\", kHyo, ".tex"},
        // Half-width katakana are single bytes, so the backslash after one separates.
        {true, "C:\\\xB1\\p.tex", "C:\\\xB1\\", "p", ".tex"},
        // 0x95 before '/' has no trail byte: the slash still separates.
        {true, "C:\\a\x95/b.tex", "C:\\a\x95/", "b", ".tex"},
        // A lone lead byte at the end stays in the extension.
        {true, "C:\\w\\a.t\x95", "C:\\w\\", "a", ".t\x95"},
        {false, "/home/u/paper.final.tex", "/home/u/", "paper.final", ".tex"},
        {false, "/home/u/a\\b.tex", "/home/u/", "a\\b", ".tex"},
        {false, "C:paper.tex", "", "C:paper", ".tex"},
        {false, "/", "/", "", ""},
        {false, "/home/u/.hidden", "/home/u/", "", ".hidden"},
        {false, "/home/u/論文/表.tex", "/home/u/論文/", "表", ".tex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const DocumentParts parts =
            splitDocumentPath(c.windows ? PlatformRules::windows() : PlatformRules::posix(), c.path);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.stem, c.stem);
        EXPECT_EQ(parts.extension, c.extension);
    }
}

TEST(DocumentPath, OnWindowsEachPartIsCutTo255BytesOnACharacterBoundary) {
    const auto split = [](const std::string& path) { return splitDocumentPath(PlatformRules::windows(), path); };
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

TEST(DocumentPath, OnLinuxNothingIsCut) {
    const std::string longName(400, 'a');
    const std::string longDir = "/" + std::string(300, 'd') + "/";
    const DocumentParts parts = splitDocumentPath(PlatformRules::posix(), longDir + longName + ".tex");
    EXPECT_EQ(parts.directory, longDir);
    EXPECT_EQ(parts.stem, longName);
    EXPECT_EQ(parts.extension, ".tex");
}

}  // namespace
}  // namespace kestro

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "build/ProgramLookup.h"

namespace kestro {
namespace {

using Paths = std::vector<std::string>;

const std::string kHyo = "\x95\x5C";  // 表

// A file system of startable files that records every candidate asked about.
class FakeFiles {
public:
    explicit FakeFiles(std::set<std::string> files) : files_(std::move(files)) {}

    LookupEnvironment environment(std::string pathVariable) {
        return LookupEnvironment{[this](const std::string& candidate) {
                                     tried.push_back(candidate);
                                     return files_.count(candidate) > 0;
                                 },
                                 std::move(pathVariable)};
    }

    Paths tried;

private:
    std::set<std::string> files_;
};

std::optional<std::string> lookupOnWindows(FakeFiles& files, std::string_view program, std::string path) {
    return lookupProgram(PlatformRules::windows(), program, files.environment(std::move(path)));
}

std::optional<std::string> lookupOnPosix(FakeFiles& files, std::string_view program, std::string path) {
    return lookupProgram(PlatformRules::posix(), program, files.environment(std::move(path)));
}

TEST(WindowsProgramLookup, BareNameTriesTheCurrentDirectoryBeforePath) {
    FakeFiles files({".\\platex.exe", "C:\\tex\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(files, "platex", "C:\\tex\\bin"), ".\\platex.exe");

    FakeFiles onlyOnPath({"C:\\tex\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(onlyOnPath, "platex", "C:\\tex\\bin"), "C:\\tex\\bin\\platex.exe");
    EXPECT_EQ(onlyOnPath.tried, (Paths{".\\platex.com", ".\\platex.exe", ".\\platex.bat", ".\\platex.cmd",
                                       "C:\\tex\\bin\\platex.com", "C:\\tex\\bin\\platex.exe"}));
}

TEST(WindowsProgramLookup, ExtensionsAreTriedInFixedOrder) {
    FakeFiles files({".\\tool.cmd", ".\\tool.bat", ".\\tool.exe"});
    EXPECT_EQ(lookupOnWindows(files, "tool", ""), ".\\tool.exe");

    FakeFiles batchOnly({"C:\\bin\\tool.cmd", "C:\\bin\\tool.bat"});
    EXPECT_EQ(lookupOnWindows(batchOnly, "tool", "C:\\bin"), "C:\\bin\\tool.bat");
}

TEST(WindowsProgramLookup, PathEntriesAreTriedInOrder) {
    FakeFiles files({"C:\\second\\platex.exe", "C:\\third\\platex.com"});
    EXPECT_EQ(lookupOnWindows(files, "platex", "C:\\first;C:\\second\\;C:\\third"), "C:\\second\\platex.exe");

    // A trailing ";" or an empty entry names no directory and is passed over.
    FakeFiles trailing({"C:\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(trailing, "platex", ";C:\\bin;"), "C:\\bin\\platex.exe");
    for (const std::string& candidate : trailing.tried) EXPECT_NE(candidate.front(), '\\');

    FakeFiles missing({});
    EXPECT_EQ(lookupOnWindows(missing, "platex", "C:\\a;C:\\b"), std::nullopt);
    EXPECT_EQ(missing.tried.size(), 12u);
}

TEST(WindowsProgramLookup, NameWithADotIsTakenAsWritten) {
    FakeFiles files({".\\platex.exe", ".\\my.tool.exe", "C:\\bin\\my.tool.exe"});
    EXPECT_EQ(lookupOnWindows(files, "platex.exe", "C:\\bin"), ".\\platex.exe");
    EXPECT_EQ(lookupOnWindows(files, "my.tool", "C:\\bin"), std::nullopt);
    EXPECT_EQ(files.tried, (Paths{".\\platex.exe", ".\\my.tool", "C:\\bin\\my.tool"}));

    // A dot in a directory is not a dot in the name.
    FakeFiles dottedDir({"c:\\w32tex.d\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(dottedDir, "c:\\w32tex.d\\bin\\platex", ""), "c:\\w32tex.d\\bin\\platex.exe");
}

TEST(WindowsProgramLookup, TextWithADirectoryIsNotLookedUpInTheCurrentDirectory) {
    FakeFiles files({".\\bin\\platex.exe", "bin\\platex.exe", "C:platex.exe"});
    EXPECT_EQ(lookupOnWindows(files, "bin\\platex", ""), "bin\\platex.exe");
    EXPECT_EQ(lookupOnWindows(files, "C:platex", ""), "C:platex.exe");
}

TEST(WindowsProgramLookup, TextWithAForwardSlashIsNotSearchedOnPath) {
    FakeFiles files({"C:\\tex\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(files, "bin/platex", "C:\\tex"), std::nullopt);
    EXPECT_EQ(files.tried, (Paths{"bin/platex.com", "bin/platex.exe", "bin/platex.bat", "bin/platex.cmd"}));

    // With backslashes only, the text is tried below each PATH entry.
    FakeFiles backslashes({"C:\\tex\\bin\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(backslashes, "bin\\platex", "C:\\tex"), "C:\\tex\\bin\\platex.exe");
}

TEST(WindowsProgramLookup, ACandidateLongerThan259BytesEndsTheSearch) {
    const std::string name = "platex";
    // Entry + backslash + name of exactly 259 bytes is still tried.
    const std::string fits = "C:\\" + std::string(259 - 3 - 1 - name.size(), 'f');
    const std::string tooLong = "C:\\" + std::string(259 - 3 - name.size(), 'g');
    ASSERT_EQ((fits + "\\" + name).size(), 259u);
    ASSERT_EQ((tooLong + "\\" + name).size(), 260u);

    FakeFiles files({fits + "\\platex.exe", "C:\\later\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(files, name, fits), fits + "\\platex.exe");

    FakeFiles after({"C:\\later\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(after, name, tooLong + ";C:\\later"), std::nullopt);
    EXPECT_EQ(after.tried.size(), 4u);  // the current directory only
}

TEST(WindowsProgramLookup, TrailBytesAreNeitherSeparatorsNorFinalBackslashes) {
    // 表 ends in 0x5C, yet it is a bare name looked up in the current directory.
    FakeFiles files({".\\" + kHyo + ".exe"});
    EXPECT_EQ(lookupOnWindows(files, kHyo, ""), ".\\" + kHyo + ".exe");

    // A PATH entry ending in 表 still needs its separating backslash.
    FakeFiles onPath({"C:\\" + kHyo + "\\platex.exe"});
    EXPECT_EQ(lookupOnWindows(onPath, "platex", "C:\\" + kHyo), "C:\\" + kHyo + "\\platex.exe");
}

TEST(WindowsProgramLookup, EmptyProgramFindsNothing) {
    FakeFiles files({".\\.com", ".\\.exe", "C:\\bin\\.exe"});
    EXPECT_EQ(lookupOnWindows(files, "", "C:\\bin"), std::nullopt);
    EXPECT_TRUE(files.tried.empty());
}

TEST(PosixProgramLookup, BareNameIsSearchedOnPathOnly) {
    FakeFiles files({"platex", "./platex", "/usr/local/bin/platex", "/usr/bin/platex"});
    EXPECT_EQ(lookupOnPosix(files, "platex", "/usr/local/bin:/usr/bin"), "/usr/local/bin/platex");
    EXPECT_EQ(files.tried, (Paths{"/usr/local/bin/platex"}));

    FakeFiles second({"/usr/bin/platex"});
    EXPECT_EQ(lookupOnPosix(second, "platex", "/opt/tex/bin/:/usr/bin"), "/usr/bin/platex");
    EXPECT_EQ(second.tried, (Paths{"/opt/tex/bin/platex", "/usr/bin/platex"}));
}

TEST(PosixProgramLookup, EmptyAndRelativePathEntriesAreSkipped) {
    FakeFiles files({"platex", "./platex", "bin/platex", "/usr/bin/platex"});
    EXPECT_EQ(lookupOnPosix(files, "platex", ":.:bin::/usr/bin:"), "/usr/bin/platex");
    EXPECT_EQ(files.tried, (Paths{"/usr/bin/platex"}));

    FakeFiles nothing({"platex", "./platex"});
    EXPECT_EQ(lookupOnPosix(nothing, "platex", ""), std::nullopt);
    EXPECT_EQ(lookupOnPosix(nothing, "platex", ".:"), std::nullopt);
    EXPECT_TRUE(nothing.tried.empty());
}

TEST(PosixProgramLookup, TextWithASlashIsUsedAsWritten) {
    FakeFiles files({"./platex", "/usr/bin/platex"});
    EXPECT_EQ(lookupOnPosix(files, "./platex", "/usr/bin"), "./platex");
    EXPECT_EQ(lookupOnPosix(files, "/opt/tex/platex", "/usr/bin"), std::nullopt);
    EXPECT_EQ(files.tried, (Paths{"./platex", "/opt/tex/platex"}));
}

TEST(PosixProgramLookup, NoExtensionsAreAdded) {
    FakeFiles files({"/usr/bin/platex.exe", "/usr/bin/論文ツール"});
    EXPECT_EQ(lookupOnPosix(files, "platex", "/usr/bin"), std::nullopt);
    EXPECT_EQ(lookupOnPosix(files, "論文ツール", "/usr/bin"), "/usr/bin/論文ツール");
    EXPECT_EQ(lookupOnPosix(files, "", "/usr/bin"), std::nullopt);
}

}  // namespace
}  // namespace kestro

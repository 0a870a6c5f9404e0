// Documents with long paths and with Japanese names on Linux, through the
// whole bar: start-up from the command line, the TeX button with real
// processes, the history written to Kestro.ini and read back.
#include <gtest/gtest.h>

#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "settings/IniText.h"

namespace kestro::faults {
namespace {

class PathFaults : public ::testing::Test {
protected:
    PathFaults() { writeFile(settingsPath, tools.settingsText()); }

    // Starts a bar on `commandTail`, presses the TeX button, closes the bar,
    // and returns the state of a second bar started on the same settings.
    BarState buildThroughTheBar(const std::string& commandTail) {
        RealBar first(settingsPath);
        BarWindow window(first.services, commandTail);
        window.initialise();
        window.press(BarControl::Tex);
        EXPECT_EQ(first.ui.boxTexts(), std::vector<std::string>{});
        window.endRun();

        RealBar second(settingsPath);
        BarWindow again(second.services, "");
        again.initialise();
        return again.state();
    }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTexTools tools{scratch};
    std::string settingsPath = scratch / "Kestro.ini";
};

class LongPaths : public PathFaults, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongPaths, AreKeptWholeThroughBuildAndHistory) {
    // 259 bytes is the longest path Windows takes; Linux goes on far beyond.
    // A path of that many bytes, from names of at most 200 bytes:
    const std::size_t length = GetParam();
    std::string directory = scratch.path().string();
    while (directory.size() + 10 < length) {  // "/paper.tex"
        directory += "/" + std::string(std::min<std::size_t>(length - 10 - directory.size() - 1, 200), 'd');
    }
    fs::create_directories(directory);
    directory += "/";
    const std::string document = directory + "paper.tex";
    ASSERT_EQ(document.size(), length);

    const BarState restarted = buildThroughTheBar(document);

    EXPECT_EQ(tools.recorded(), (std::vector<std::string>{FakeTexTools::ran("platex", "[paper]", directory),
                                                          FakeTexTools::ran("dvipdfmx", "[paper]", directory)}));
    EXPECT_TRUE(fs::exists(directory + "paper.pdf"));
    // Never cut: Linux has no 259-byte limit, and a cut path names another file.
    EXPECT_EQ(iniLookup(readFile(settingsPath).value_or(""), "RFL", "File0"), document);
    EXPECT_EQ(restarted.documentPath, document);
    EXPECT_EQ(restarted.documentDir, directory);
    EXPECT_EQ(restarted.documentStem, "paper");
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongPaths, ::testing::Values(std::size_t{259}, std::size_t{1000}));

TEST_F(PathFaults, QuotedJapaneseNamesWithBlanksGoThroughTheWholeRoad) {
    // 表 and ソ are the characters whose second CP932 byte is a backslash;
    // here they are UTF-8 and must pass through untouched, the command
    // line's quotes taken off.
    const std::string directory = scratch / "論文 フォルダ/表 ソース/";
    const std::string stem = "第1章 能力";
    fs::create_directories(directory);
    const std::string document = directory + stem + ".tex";
    writeFile(document, "\\documentclass{jarticle}\n");
    tools.compiler(
        "[ $n = 1 ] && { printf 'No file %s.bbl.\\n' \"$1\" > \"$1.log\"; printf '\\\\indexentry{あ}{1}\\n' > \"$1.idx\"; }");

    const BarState restarted = buildThroughTheBar("\"" + document + "\"");

    const std::string word = "[" + stem + "]";
    EXPECT_EQ(tools.recorded(), (std::vector<std::string>{
                                    FakeTexTools::ran("platex", word, directory),
                                    FakeTexTools::ran("pbibtex", word, directory),
                                    FakeTexTools::ran("platex", word, directory),
                                    FakeTexTools::ran("mendex", "[-s] [myindex] " + word, directory),
                                    FakeTexTools::ran("platex", word, directory),
                                    FakeTexTools::ran("dvipdfmx", word, directory),
                                }));
    EXPECT_TRUE(fs::exists(directory + stem + ".pdf"));
    EXPECT_EQ(restarted.documentPath, document);
    EXPECT_EQ(restarted.documentDir, directory);
    EXPECT_EQ(restarted.documentStem, stem);
}

}  // namespace
}  // namespace kestro::faults

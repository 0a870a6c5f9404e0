// Documents with long paths and with Japanese names on Linux, through the
// whole bar: start-up from the command line, the TeX button with real
// processes, the history written to Kestro.ini and read back.
#include <gtest/gtest.h>

#include "FakeTexTools.h"
#include "FaultSupport.h"
#include "app/BarWindow.h"
#include "settings/IniText.h"

namespace kestro::faults {
namespace {

class PathFaults : public ::testing::Test {
protected:
    PathFaults() : tools(scratch), settingsPath(scratch / "Kestro.ini") {
        writeFile(settingsPath, tools.settingsText());
    }

    // A directory under the scratch directory whose document `stem`.tex has
    // a path of exactly `length` bytes, built from names of at most 200 bytes.
    std::string directoryForPathLength(std::size_t length, const std::string& stem) {
        std::string directory = scratch.path().string();
        const std::size_t fileBytes = 1 + stem.size() + 4;  // "/" stem ".tex"
        while (directory.size() + fileBytes < length) {
            const std::size_t room = length - fileBytes - directory.size() - 1;  // less the "/"
            directory += "/" + std::string(std::min<std::size_t>(room, 200), 'd');
        }
        fs::create_directories(directory);
        return directory + "/";
    }

    // Starts a bar on `document`, presses the TeX button, closes the bar,
    // and starts a second bar on the same settings file.
    void buildThroughTheBar(const std::string& document) {
        RealBar first(settingsPath);
        BarWindow window(first.services, document);
        window.initialise();
        window.press(BarControl::Tex);
        EXPECT_EQ(first.ui.boxTexts(), std::vector<std::string>{});
        window.endRun();

        RealBar second(settingsPath);
        BarWindow again(second.services, "");
        again.initialise();
        restarted = again.state();
    }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    FakeTexTools tools;
    std::string settingsPath;
    BarState restarted;
};

class LongPaths : public PathFaults, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongPaths, BuildAndHistoryKeepTheWholePath) {
    const std::string directory = directoryForPathLength(GetParam(), "paper");
    const std::string document = directory + "paper.tex";
    ASSERT_EQ(document.size(), GetParam());

    buildThroughTheBar(document);

    EXPECT_EQ(tools.recorded(), (std::vector<std::string>{
                                    FakeTexTools::ran("platex", "[paper]", directory),
                                    FakeTexTools::ran("dvipdfmx", "[paper]", directory),
                                }));
    EXPECT_TRUE(fs::exists(directory + "paper.pdf"));
    // Never cut: Linux has no 259-byte limit, and a cut path names another file.
    EXPECT_EQ(iniLookup(readFile(settingsPath).value_or(""), "RFL", "File0"), document);
    EXPECT_EQ(restarted.documentPath, document);
    EXPECT_EQ(restarted.documentDir, directory);
    EXPECT_EQ(restarted.documentStem, "paper");
    EXPECT_EQ(restarted.documentExt, ".tex");
}

// 259 bytes is the longest path Windows takes; Linux goes on far beyond.
INSTANTIATE_TEST_SUITE_P(Lengths, LongPaths, ::testing::Values(259, 260, 1000));

TEST_F(PathFaults, JapaneseNamesWithBlanksGoThroughTheWholeRoad) {
    // 表 and ソ are the characters whose second CP932 byte is a backslash;
    // here they are UTF-8 and must pass through untouched.
    const std::string directory = scratch / "論文 フォルダ/表 ソース/";
    const std::string stem = "第1章 能力";
    fs::create_directories(directory);
    const std::string document = directory + stem + ".tex";
    writeFile(document, "\\documentclass{jarticle}\n");
    tools.compiler(
        "[ $n = 1 ] && { printf 'No file %s.bbl.\\n' \"$1\" > \"$1.log\"; printf '\\\\indexentry{あ}{1}\\n' > \"$1.idx\"; }");

    buildThroughTheBar(document);

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

TEST_F(PathFaults, QuotedJapaneseCommandLineDocumentIsTakenWithoutItsQuotes) {
    const std::string directory = scratch / "原稿/";
    fs::create_directories(directory);
    const std::string document = directory + "報告 書.tex";

    buildThroughTheBar("\"" + document + "\"");

    EXPECT_EQ(tools.recorded().front(), FakeTexTools::ran("platex", "[報告 書]", directory));
    EXPECT_EQ(restarted.documentPath, document);
}

}  // namespace
}  // namespace kestro::faults

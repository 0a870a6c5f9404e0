// kestro-build's command line (the program itself runs on fake tools in
// kestro-build-fake-tex.sh).
#include <gtest/gtest.h>

#include "CliOptions.h"

namespace kestro {
namespace {

using cli::parseCommandLine;

TEST(CliOptions, EveryOptionAndEveryWrongLine) {
    const cli::ParseResult all = parseCommandLine(
        {"--pdf", "--no", "--paper=Landscape", "--index-options", "-s my.ist", "--no-view", "--", "--odd.tex"});
    ASSERT_TRUE(all.options) << all.error;
    EXPECT_EQ(all.options->road, cli::Road::Pdf);
    EXPECT_EQ(all.options->answer, Answer::Cancel);
    EXPECT_EQ(all.options->paperSizeNo, 4);
    EXPECT_EQ(all.options->indexOptions, "-s my.ist");
    EXPECT_TRUE(all.options->noView);
    EXPECT_EQ(all.options->document, "--odd.tex");
    EXPECT_EQ(parseCommandLine({"--index-options=", "--one-click", "--one-click", "a.tex"}).options->indexOptions, "");
    EXPECT_EQ(cli::paperSizeNumber("B5VAR"), 9);
    for (const std::vector<std::string>& wrong : std::vector<std::vector<std::string>>{
             {"a.tex", "b.tex"}, {"--yes", "--no", "a.tex"}, {"--paper", "b5 ", "a.tex"}, {"a.tex", "--paper"}, {""}}) {
        EXPECT_FALSE(parseCommandLine(wrong).options) << wrong[0];
    }
}

}  // namespace
}  // namespace kestro

#include <gtest/gtest.h>

#include "build/LogAnalysis.h"

namespace kestro {
namespace {

TEST(LogAnalysis, UserStopNeedsALineStartingWithTheAnswer) {
    const CodePage cp = CodePage::Utf8;
    EXPECT_TRUE(isUserStop(cp, "! Undefined control sequence.\n? x\nNo pages of output."));
    EXPECT_TRUE(isUserStop(cp, "l.3 \\foo\n? X"));
    EXPECT_FALSE(isUserStop(cp, "? x"));
    EXPECT_FALSE(isUserStop(cp, "\n?x\n"));
    EXPECT_FALSE(isUserStop(cp, "\n? q\n"));
    EXPECT_FALSE(isUserStop(cp, "\r? x"));
}

TEST(LogAnalysis, MissingBblOfTheStem) {
    const CodePage cp = CodePage::Utf8;
    EXPECT_TRUE(reportsMissingBbl(cp, "No file paper.bbl.\n", "paper"));
    EXPECT_TRUE(reportsMissingBbl(cp, "No file 論文.bbl.\n", "論文"));
    EXPECT_FALSE(reportsMissingBbl(cp, "No file paper.bbl.\n", "pap"));
    EXPECT_FALSE(reportsMissingBbl(cp, "No file Paper.bbl.\n", "paper"));
    EXPECT_FALSE(reportsMissingBbl(cp, "No file paper.toc.\n", "paper"));
}

TEST(LogAnalysis, SearchesAreCaseSensitive) {
    const CodePage cp = CodePage::Utf8;
    EXPECT_TRUE(auxNamesBibdata(cp, "\\relax\n\\bibdata{refs}\n"));
    EXPECT_FALSE(auxNamesBibdata(cp, "\\bibstyle{jplain}\n\\BibData{refs}"));
    EXPECT_TRUE(logHasLabelChange(cp, "LaTeX Warning: Label(s) may have changed."));
    EXPECT_FALSE(logHasLabelChange(cp, "label(s)"));
    EXPECT_TRUE(logHasLatexWarning(cp, "LaTeX Warning: Citation `a' undefined"));
    EXPECT_FALSE(logHasLatexWarning(cp, "LaTeX Font Warning: Font shape undefined"));
}

TEST(LogAnalysis, RerunRequestsOfLatexAndItsPackages) {
    const CodePage cp = CodePage::Utf8;
    for (const char* request : {
             "LaTeX Warning: Label(s) may have changed. Rerun to get cross-references right.",
             "Package hyperref Warning: Rerun to get /PageLabels entry.",
             "Package rerunfilecheck Warning: File `doc.out' has changed.\n"
             "(rerunfilecheck)                Rerun to get outlines right",
             // Broken where TeX breaks log lines, with either line end.
             "Package rerunfilecheck Warning: File `long-name.hd' has changed. Re\nrun.",
             "Package natbib Warning: Citation(s) may have changed.\n(natbib)                Rerun to\r\n get citations correct.",
             "LaTeX Warning: Rerun to correct the page numbers.",
             "Package longtable Warning: Table widths have changed. Rerun LaTeX.",
             "Package biblatex Warning: Please rerun LaTeX.",
         }) {
        EXPECT_TRUE(logAsksForRerun(cp, request)) << request;
    }
    // The package's banner names what it does; it asks for nothing.
    EXPECT_FALSE(logAsksForRerun(cp, "Package: rerunfilecheck 2022-07-10 v1.10 Rerun checks for auxiliary files (HO)\n"
                                     "Package rerunfilecheck Info: File `doc.out' has not changed.\n"));
}

TEST(LogAnalysis, NoMatchFromTheSecondByteOfACp932Character) {
    const CodePage cp = CodePage::Cp932;
    // 0x83 0x4C is one character whose second byte is "L".
    EXPECT_FALSE(logHasLabelChange(cp, "\x83" "Label(s)"));
    EXPECT_TRUE(logHasLabelChange(cp, "\x83\x4C" "Label(s)"));
    EXPECT_FALSE(logHasLatexWarning(cp, "\x83" "LaTeX Warning"));
    // 表 ends in a backslash byte: no \bibdata after it.
    EXPECT_FALSE(auxNamesBibdata(cp, "\x95\x5C" "bibdata"));
    EXPECT_TRUE(auxNamesBibdata(cp, "\x95\x5C\\bibdata"));
    // 0x83 0x72 and 0x83 0x68 end in "r" and "h".
    EXPECT_FALSE(logAsksForRerun(cp, "\x83" "rerun to get"));
    EXPECT_FALSE(logAsksForRerun(cp, "\x83" "has changed. Rerun."));
    EXPECT_TRUE(logAsksForRerun(cp, "\x83\x72" "Rerun LaTeX"));
}

}  // namespace
}  // namespace kestro

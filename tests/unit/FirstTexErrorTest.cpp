// The first TeX error of a compiler log, with the file open at it.
#include <gtest/gtest.h>

#include "build/FirstTexError.h"

namespace kestro {
namespace {

struct Case {
    const char* name;
    CodePage cp;
    std::string log;
    bool found;
    std::string file;
    std::optional<long> line;
    std::string message;
};

// TeX breaks its log lines at 79 bytes; this name fills a line and goes on.
const std::string kLongDir = "/usr/share/texlive/texmf-dist/tex/latex/some-package-with-a-rather-long-name/sub/dir/";
const std::string kWrapped = "(" + kLongDir.substr(0, 78) + "\n" + kLongDir.substr(78) + "part.sty";

TEST(FirstTexError, FindsTheFileOpenAtTheFirstErrorAndItsLine) {
    const Case cases[] = {
        {"nested files, other parentheses balanced", CodePage::Utf8,
         "This is e-pTeX (preloaded format=platex 2023.1.1)\n(./paper.tex\n"
         "(/usr/share/texlive/texmf-dist/tex/platex/base/jarticle.cls\n"
         "(/usr/share/texlive/texmf-dist/tex/platex/base/jsize10.clo)) (./paper.aux)\n"
         "(./chap1.tex\nLaTeX Font Warning: Font shape `JY1/mc/m/it' undefined\n(Font)   using `JY1/mc/m/n'.\n"
         "Overfull \\hbox (1.2pt too wide) in paragraph at lines 3--4 ! not here\n"
         "! Undefined control sequence.\nl.7 \\undefinedcs\n\n! Second error.\nl.9 x\n",
         true, "./chap1.tex", 7, "Undefined control sequence."},
        {"a closed file leaves the document's", CodePage::Utf8,
         "(\"./my paper.tex\" (./chap1.tex)\r\n! LaTeX Error: File `x.sty' not found.\r\n\r\nType X to quit.\r\n"
         "\r\nl.3 \\usepackage{x}\r\n",
         true, "./my paper.tex", 3, "LaTeX Error: File `x.sty' not found."},
        {"a name wrapped at the line width", CodePage::Utf8,
         "(./paper.tex\n" + kWrapped + "\n! Missing $ inserted.\n<inserted text>\nl.12 a_b\n", true,
         kLongDir + "part.sty", 12, "Missing $ inserted."},
        {"CP932 names, no file open, no context line before the next error", CodePage::Cp932,
         "(./\x95\x5c\x83\x5c.tex)\n! Emergency stop.\n<*> paper\n! Again.\nl.1 x\n", true, "", std::nullopt,
         "Emergency stop."},
        {"no error", CodePage::Utf8, "(./paper.tex [1] )\nOutput written on paper.dvi (1 page).\n", false, "",
         std::nullopt, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<TexErrorPlace> error = firstTexError(c.cp, c.log);
        ASSERT_EQ(error.has_value(), c.found);
        if (!error) continue;
        EXPECT_EQ(error->file, c.file);
        EXPECT_EQ(error->line, c.line);
        EXPECT_EQ(error->message, c.message);
    }
}

}  // namespace
}  // namespace kestro

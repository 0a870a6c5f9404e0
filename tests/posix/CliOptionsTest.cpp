// The command line and the terminal user interface of kestro-build, without
// starting it.
#include <gtest/gtest.h>

#ifdef KESTRO_BUILD_EXE

#include <deque>
#include <sstream>

#include "CliOptions.h"
#include "FakePlatform.h"
#include "TerminalUi.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/ToolSelection.h"

namespace kestro::cli {
namespace {

TEST(CliOptions, DefaultsAndEveryOption) {
    ParseResult plain = parseCommandLine({"paper.tex"});
    ASSERT_TRUE(plain.options);
    EXPECT_EQ(plain.options->road, Road::Tex);
    EXPECT_FALSE(plain.options->indexOptions);

    ParseResult all = parseCommandLine(
        {"--one-click", "--no", "--paper=Landscape", "--index-options", "-s my.ist", "--no-view", "my paper.tex"});
    ASSERT_TRUE(all.options) << all.error;
    EXPECT_EQ(all.options->road, Road::OneClick);
    EXPECT_EQ(all.options->answer, Answer::Cancel);
    EXPECT_EQ(all.options->paperSizeNo, 4);
    EXPECT_EQ(all.options->indexOptions, "-s my.ist");
    EXPECT_TRUE(all.options->noView);
    EXPECT_EQ(all.options->document, "my paper.tex");

    // An empty option text is a choice of its own; "--" ends the options.
    ParseResult empty = parseCommandLine({"--index-options=", "--", "--odd.tex"});
    ASSERT_TRUE(empty.options) << empty.error;
    EXPECT_EQ(empty.options->indexOptions, "");
    EXPECT_EQ(empty.options->document, "--odd.tex");

    // Repeating the same choice is no conflict.
    EXPECT_TRUE(parseCommandLine({"--pdf", "--pdf", "--yes", "--yes", "a.tex"}).options);
    EXPECT_TRUE(parseCommandLine({"--help"}).options->help);
}

TEST(CliOptions, PaperNamesAreTheDialogCaptionsInAnyCase) {
    const std::pair<const char*, int> names[] = {{"a3", 0},  {"A4", 1},   {"landscape", 4}, {"b5", 7},
                                                 {"B5VAR", 9}, {"letter", 10}, {"Tabloid", 13}};
    for (const auto& [name, number] : names) EXPECT_EQ(paperSizeNumber(name), number) << name;
    for (const char* wrong : {"", "a2", "b5 ", "legalx", "A 4"}) EXPECT_FALSE(paperSizeNumber(wrong)) << wrong;
}

TEST(CliOptions, WrongLinesSayWhy) {
    const std::pair<std::vector<std::string>, std::string> wrong[] = {
        {{}, "no document"},
        {{"--tex", "--one-click", "a.tex"}, "cannot be combined"},
        {{"--paper", "a9", "a.tex"}, "unknown paper size: a9"},
        {{"a.tex", "--index-options"}, "--index-options needs"},
        {{"-x", "a.tex"}, "unknown option: -x"},
        {{"a.tex", "b.tex"}, "only one document"},
        {{""}, "empty"},
    };
    for (const auto& [arguments, why] : wrong) {
        const ParseResult result = parseCommandLine(arguments);
        EXPECT_FALSE(result.options);
        EXPECT_NE(result.error.find(why), std::string::npos) << result.error;
    }
}

class TypedTerminal : public Terminal {
public:
    explicit TypedTerminal(std::deque<std::string> lines) : lines_(std::move(lines)) {}
    std::optional<std::string> ask(const std::string& prompt) override {
        prompts.push_back(prompt);
        if (lines_.empty()) return std::nullopt;
        std::string line = lines_.front();
        lines_.pop_front();
        return line;
    }
    std::vector<std::string> prompts;

private:
    std::deque<std::string> lines_;
};

MessageBoxRequest question(const std::string& text) {
    MessageBoxRequest box;
    box.text = text;
    box.caption = "kestro-build";
    box.buttons = BoxButtons::OkCancel;
    return box;
}

TEST(TerminalUi, QuestionsFollowTheOptionThenTheTerminalThenCancel) {
    std::ostringstream err;
    CliOptions yes;
    yes.answer = Answer::Ok;
    TypedTerminal unused({});
    EXPECT_EQ(TerminalUi(yes, err, &unused, nullptr).showMessage(question("q1")), Answer::Ok);
    EXPECT_TRUE(unused.prompts.empty());

    CliOptions ask;
    TypedTerminal typed({"Y", "", "nope"});
    TerminalUi ui(ask, err, &typed, nullptr);
    EXPECT_EQ(ui.showMessage(question("q2")), Answer::Ok);
    EXPECT_EQ(ui.showMessage(question("q3")), Answer::Cancel);
    EXPECT_EQ(ui.showMessage(question("q4")), Answer::Cancel);
    EXPECT_EQ(ui.showMessage(question("q5")), Answer::Cancel);  // end of input
    EXPECT_EQ(typed.prompts.size(), 4u);

    EXPECT_EQ(TerminalUi(ask, err, nullptr, nullptr).showMessage(question("q6")), Answer::Cancel);
    EXPECT_NE(err.str().find("kestro-build: q6\n  -> キャンセル\n"), std::string::npos) << err.str();
}

TEST(TerminalUi, DialogsTakeTheCommandLineOrStayAsTheyOpen) {
    testing::FakeBar bar(PlatformRules::posix());
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", 9);
    bar.settings.writeSettingInt("Settings", "PdfNShow", 1);
    bar.settings.writeSettingString("Settings", "MkIdxOpt", "-g");
    bar.settings.writeSettingInt("Settings", "MkIdxNvr", 1);
    std::ostringstream err;

    CliOptions asOpened;
    TerminalUi plain(asOpened, err, nullptr, nullptr);
    PaperSizeDialog paper(bar.settings);
    EXPECT_TRUE(plain.runPaperSizeDialog(paper));
    EXPECT_EQ(paper.sizeNo, 9);
    EXPECT_EQ(paper.skipUntilRestart, 1);
    IndexOptionsDialog index(bar.settings);
    EXPECT_TRUE(plain.runIndexOptionsDialog(index));
    EXPECT_EQ(index.optionsText, "-g");
    EXPECT_EQ(index.neverShow, 1);

    CliOptions given;
    given.paperSizeNo = 12;
    given.indexOptions = "";
    TerminalUi chosen(given, err, nullptr, nullptr);
    PaperSizeDialog paper2(bar.settings);
    EXPECT_TRUE(chosen.runPaperSizeDialog(paper2));
    EXPECT_EQ(paper2.sizeNo, 12);
    IndexOptionsDialog index2(bar.settings);
    EXPECT_TRUE(chosen.runIndexOptionsDialog(index2));
    EXPECT_EQ(index2.optionsText, "");
    EXPECT_NE(err.str().find("PDF 作成の用紙サイズ: Ledger"), std::string::npos) << err.str();
}

TEST(TerminalUi, ViewerIsSkippedWithNoViewButTheEditorIsNot) {
    std::ostringstream err;
    CliOptions options;
    options.noView = true;
    int opened = 0;
    TerminalUi ui(options, err, nullptr, [&opened](const ShellOpenRequest&) {
        ++opened;
        return 2;
    });
    ShellOpenRequest pdf;
    pdf.file = "paper.pdf";
    EXPECT_GT(ui.shellOpen(pdf), 32);
    EXPECT_EQ(opened, 0);

    ShellOpenRequest editor;
    editor.file = "vi";
    editor.parameters = "\"a.tex\"";
    EXPECT_EQ(ui.shellOpen(editor), 2);
    EXPECT_EQ(opened, 1);
}

TEST(TerminalUi, WithoutTerminalNoFileCanBeChosen) {
    std::ostringstream err;
    CliOptions options;
    TerminalUi ui(options, err, nullptr, nullptr);
    EXPECT_FALSE(ui.canChooseFiles());
    EXPECT_FALSE(ui.chooseFile(toolFileDialog(FileChoice::Bibtex)));
    EXPECT_NE(err.str().find("BibTeX"), std::string::npos);
}

}  // namespace
}  // namespace kestro::cli

#endif  // KESTRO_BUILD_EXE

#include <gtest/gtest.h>

#include <string>

#include "FakePlatform.h"
#include "dialogs/ToolSelection.h"
#include "settings/SettingsKeys.h"

namespace kestro {
namespace {

using testing::FakeBar;
using testing::ScriptedUi;

const std::string kChangeTexText =
    "TeX の compiler を変更します。OK ボタンを押せば実行ファイルが選択できます。\n"
    "キャンセルすれば、元の platex に戻ります。（パス名無しの \"platex\" のみ）\n"
    "他の TeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。";

// A tool state as the bar has it after a start with nothing stored.
BarState startState(const PlatformRules& rules) {
    BarState state;
    state.texCommand = rules.defaultTexCommand();
    state.bibtexCommand = rules.defaultBibtexCommand();
    state.dvipdfCommand = rules.defaultDvipdfCommand();
    state.indexCommand = rules.defaultIndexCommand();
    state.editorPath = rules.defaultEditorPath();
    return state;
}

void storeTools(FakeBar& bar, const std::string& tex, const std::string& bib, const std::string& dvipdf,
                const std::string& index) {
    bar.settings.writeSettingString(keys::kSettings, keys::kTex, tex);
    bar.settings.writeSettingString(keys::kSettings, keys::kBib, bib);
    bar.settings.writeSettingString(keys::kSettings, keys::kDviPdf, dvipdf);
    bar.settings.writeSettingString(keys::kSettings, keys::kMkIdx, index);
}

void expectAppQuestion(const MessageBoxRequest& box, const std::string& text) {
    EXPECT_EQ(box.buttons, BoxButtons::OkCancel);
    EXPECT_EQ(box.text, text);
}

// A compiler with "latex" in its name brings its companions from its own
// directory; a converter already naming an executable is kept.
TEST(SelectTexCompiler, CompanionsFollowTheCompilersNameAndDirectory) {
    struct Case {
        bool windows;
        std::string chosen;
        std::string bib, index, dvipdf;
        std::string storedDvipdf = "";
    };
    const Case cases[] = {
        {true, "C:\\w32tex\\bin\\platex.exe", "C:\\w32tex\\bin\\jbibtex", "C:\\w32tex\\bin\\mendex",
         "C:\\w32tex\\bin\\dvipdfmx"},
        // A directory name counts like a file name.
        {true, "C:\\latex\\bin\\tex.exe", "C:\\latex\\bin\\bibtex", "C:\\latex\\bin\\makeindex",
         "C:\\latex\\bin\\dvipdfmx"},
        // Forward slashes separate too; no directory leaves the names bare.
        {true, "C:/tl/bin/platex.exe", "C:/tl/bin/jbibtex", "C:/tl/bin/mendex", "C:/tl/bin/dvipdfmx"},
        {true, "platex.exe", "jbibtex", "mendex", "dvipdfmx"},
        // ソ ends in the byte 0x5C; the directory is still C:\w\ .
        {true, "C:\\w\\\x83\x5C" "platex.exe", "C:\\w\\jbibtex", "C:\\w\\mendex", "C:\\w\\dvipdfmx"},
        {true, "C:\\w32tex\\bin\\platex.exe", "C:\\w32tex\\bin\\jbibtex", "C:\\w32tex\\bin\\mendex",
         "C:\\tex\\bin\\dvipdfmx.exe", "C:\\tex\\bin\\dvipdfmx.exe"},
        {false, "/opt/texlive/bin/x86_64-linux/platex", "/opt/texlive/bin/x86_64-linux/pbibtex",
         "/opt/texlive/bin/x86_64-linux/mendex", "/opt/texlive/bin/x86_64-linux/dvipdfmx"},
        // On Linux a converter given by path is what ".exe" is on Windows.
        {false, "/usr/bin/pdflatex", "/usr/bin/bibtex", "/usr/bin/makeindex", "/usr/local/bin/dvipdfmx",
         "/usr/local/bin/dvipdfmx"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        FakeBar bar(c.windows ? PlatformRules::windows() : PlatformRules::posix());
        BarState state = startState(bar.rules);
        if (!c.storedDvipdf.empty()) {
            state.dvipdfCommand = c.storedDvipdf;
            bar.settings.writeSettingString("Settings", "DviPdf", c.storedDvipdf);
        }
        bar.ui.answerFileDialog(c.chosen);

        EXPECT_EQ(selectTexCompiler(state, bar.services), 1);

        EXPECT_TRUE(bar.ui.boxes().empty());
        ASSERT_EQ(bar.ui.fileDialogs().size(), 1u);
        EXPECT_EQ(bar.ui.fileDialogs()[0].purpose, FileChoice::TexCompiler);
        const std::pair<const char*, std::string BarState::*> fields[] = {
            {"TeX", &BarState::texCommand}, {"Bib", &BarState::bibtexCommand},
            {"MkIdx", &BarState::indexCommand}, {"DviPdf", &BarState::dvipdfCommand}};
        const std::string expected[] = {c.chosen, c.bib, c.index, c.dvipdf};
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            EXPECT_EQ(state.*fields[i].second, expected[i]);
            EXPECT_EQ(bar.setting("Settings", fields[i].first), expected[i]);
        }
    }
}

TEST(SelectTexCompiler, CompilerWithoutLatexStoresOnlyItself) {
    for (const std::string chosen :
         {"C:\\w32tex\\bin\\ptex.exe", "C:\\W32TEX\\BIN\\PLATEX.EXE",
          // "latex" made of the trail byte of a double-byte character and
          // the bytes after it is no match.
          "C:\\bin\\\x83\x6C" "atex.exe"}) {
        SCOPED_TRACE(chosen);
        FakeBar bar(PlatformRules::windows());
        storeTools(bar, "platex", "C:\\old\\jbibtex", "C:\\old\\dvipdfmx.exe", "C:\\old\\mendex");
        BarState state = startState(bar.rules);
        bar.ui.answerFileDialog(chosen);

        EXPECT_EQ(selectTexCompiler(state, bar.services), 1);

        EXPECT_EQ(state.texCommand, chosen);
        EXPECT_EQ(bar.setting("Settings", "TeX"), chosen);
        EXPECT_EQ(bar.setting("Settings", "Bib"), "C:\\old\\jbibtex");
        EXPECT_EQ(bar.setting("Settings", "DviPdf"), "C:\\old\\dvipdfmx.exe");
        EXPECT_EQ(bar.setting("Settings", "MkIdx"), "C:\\old\\mendex");
        EXPECT_EQ(state.bibtexCommand, "jbibtex");
        EXPECT_EQ(state.dvipdfCommand, "dvipdfmx");
    }
}

TEST(ChangeTexCompiler, CancelOnTheExplanationReturnsToPlatexButACancelledDialogChangesNothing) {
    FakeBar bar(PlatformRules::windows());
    storeTools(bar, "C:\\tex\\bin\\platex.exe", "jbibtex", "dvipdfmx", "mendex");
    const std::string before = bar.settingsText();
    BarState state = startState(bar.rules);
    state.texCommand = "C:\\tex\\bin\\platex.exe";

    bar.ui.answerFileDialog(std::nullopt);
    EXPECT_EQ(selectTexCompiler(state, bar.services), 0);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(std::nullopt);
    changeTexCompiler(state, bar.services);
    EXPECT_EQ(state.texCommand, "C:\\tex\\bin\\platex.exe");
    EXPECT_EQ(bar.settingsText(), before);
    EXPECT_EQ(bar.ui.events().at(1).rfind("box: ", 0), 0u);  // the explanation before the dialog

    bar.ui.answerQuestion(Answer::Cancel);
    changeTexCompiler(state, bar.services);
    ASSERT_EQ(bar.ui.boxes().size(), 2u);
    expectAppQuestion(bar.ui.boxes()[1], kChangeTexText);
    EXPECT_EQ(bar.ui.fileDialogs().size(), 2u);
    EXPECT_EQ(state.texCommand, "platex");
    EXPECT_FALSE(bar.hasSetting("Settings", "TeX"));
    EXPECT_EQ(bar.setting("Settings", "Bib"), "jbibtex");

    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog("C:\\w32tex\\bin\\platex.exe");
    changeTexCompiler(state, bar.services);
    EXPECT_EQ(bar.setting("Settings", "TeX"), "C:\\w32tex\\bin\\platex.exe");
    EXPECT_EQ(bar.setting("Settings", "MkIdx"), "C:\\w32tex\\bin\\mendex");
}

struct ToolCase {
    const char* name;
    int (*select)(BarState&, Services&);
    std::string BarState::*field;
    const char* key;
    FileChoice purpose;
    std::string windowsDefault;
    std::string linuxDefault;
    std::string textStart;
};

const ToolCase kToolCases[] = {
    {"bibtex", selectBibtex, &BarState::bibtexCommand, "Bib", FileChoice::Bibtex, "jbibtex", "pbibtex",
     "BibTeX が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
     "選択により、フルパスで jbibtex.exe を特定します。\n"
     "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"jbibtex\" のみ）\n"
     "jBibTeX は \"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。"},
    {"dvipdf", selectDvipdf, &BarState::dvipdfCommand, "DviPdf", FileChoice::Dvipdf, "dvipdfmx", "dvipdfmx",
     "もし PDF が作れないときは、OK ボタンを押して実行ファイル dvipdfmx.exe を見つけて選択して下さい。\n"
     "恐らく、\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\" 等に・・・。\n"
     "キャンセルすれば、パス名無しの dvipdfmx のみに戻ります。"},
    {"index", selectIndexTool, &BarState::indexCommand, "MkIdx", FileChoice::IndexTool, "mendex", "mendex",
     "MakeIndex が実効できない時は、実行ファイルが特定できていない可能性があります。\n"
     "選択により、フルパスで mendex.exe を特定します。\n"
     "キャンセルすれば、デフォルトに戻ります。（パス名無しの \"mendex\" のみ）"},
};

TEST(SelectTool, ChosenExecutableIsStoredByFullPath) {
    for (const ToolCase& tool : kToolCases) {
        SCOPED_TRACE(tool.name);
        FakeBar bar(PlatformRules::windows());
        BarState state = startState(bar.rules);
        bar.ui.answerQuestion(Answer::Ok);
        bar.ui.answerFileDialog("D:\\ツール\\prog.exe");

        EXPECT_EQ(tool.select(state, bar.services), 1);

        ASSERT_EQ(bar.ui.boxes().size(), 1u);
        expectAppQuestion(bar.ui.boxes()[0], tool.textStart);
        ASSERT_EQ(bar.ui.fileDialogs().size(), 1u);
        EXPECT_EQ(bar.ui.fileDialogs()[0].purpose, tool.purpose);
        EXPECT_EQ(state.*tool.field, "D:\\ツール\\prog.exe");
        EXPECT_EQ(bar.setting("Settings", tool.key), "D:\\ツール\\prog.exe");
    }
}

TEST(SelectTool, CancelAtEitherStepReturnsToTheBareDefault) {
    for (const PlatformRules& rules : {PlatformRules::windows(), PlatformRules::posix()}) {
        for (const ToolCase& tool : kToolCases) {
            for (bool cancelInDialog : {false, true}) {
                SCOPED_TRACE(std::string(tool.name) + (cancelInDialog ? " dialog" : " box") +
                             (rules.isWindows() ? " windows" : " linux"));
                FakeBar bar(rules);
                bar.settings.writeSettingString("Settings", tool.key, "/chosen/before");
                bar.settings.writeSettingString("Settings", "TeX", "keep");
                BarState state = startState(rules);
                state.*tool.field = "/chosen/before";
                bar.ui.answerQuestion(cancelInDialog ? Answer::Ok : Answer::Cancel);
                if (cancelInDialog) bar.ui.answerFileDialog(std::nullopt);

                EXPECT_EQ(tool.select(state, bar.services), 0);

                const std::string& bare = rules.isWindows() ? tool.windowsDefault : tool.linuxDefault;
                EXPECT_EQ(state.*tool.field, bare);
                EXPECT_FALSE(bar.hasSetting("Settings", tool.key));
                EXPECT_EQ(bar.setting("Settings", "TeX"), "keep");
                EXPECT_EQ(bar.ui.fileDialogs().size(), cancelInDialog ? 1u : 0u);
            }
        }
    }
}

// On Linux the texts that say where TeX lives name TeX Live's places.
TEST(SelectTool, OnLinuxTheTextsNameWhereTexLiveLives) {
    auto onLinux = [](std::string text) {
        const std::string windowsPlaces = "\"C:\\tex\\bin\", \"C:\\usr\\local\\bin\"";
        const std::size_t at = text.find(windowsPlaces);
        if (at != std::string::npos) text.replace(at, windowsPlaces.size(), "\"/usr/local/texlive/*/bin/*\", \"/usr/bin\"");
        return text;
    };
    FakeBar bar(PlatformRules::posix());
    BarState state = startState(bar.rules);
    std::vector<std::string> expected{onLinux(kChangeTexText)};
    bar.ui.answerQuestion(Answer::Cancel);
    changeTexCompiler(state, bar.services);
    for (const ToolCase& tool : kToolCases) {
        bar.ui.answerQuestion(Answer::Cancel);
        tool.select(state, bar.services);
        expected.push_back(onLinux(tool.textStart));
    }
    EXPECT_EQ(bar.ui.boxTexts(), expected);
    EXPECT_NE(expected[1], kToolCases[0].textStart);
}

TEST(SelectEditor, ChosenEditorIsStoredAndCancelKeepsTheOldOne) {
    FakeBar bar(PlatformRules::windows());
    bar.settings.writeSettingString("Editor", "EDIT", "C:\\old\\edit.exe");
    BarState state = startState(bar.rules);
    state.editorPath = "C:\\old\\edit.exe";

    bar.ui.answerFileDialog(std::nullopt);
    selectEditor(state, bar.services);
    EXPECT_EQ(state.editorPath, "C:\\old\\edit.exe");
    EXPECT_EQ(bar.setting("Editor", "EDIT"), "C:\\old\\edit.exe");

    bar.ui.answerFileDialog("C:\\秀丸\\hidemaru.exe");
    selectEditor(state, bar.services);
    EXPECT_EQ(state.editorPath, "C:\\秀丸\\hidemaru.exe");
    EXPECT_EQ(bar.setting("Editor", "EDIT"), "C:\\秀丸\\hidemaru.exe");

    // No explaining box before the editor dialog.
    EXPECT_TRUE(bar.ui.boxes().empty());
    EXPECT_EQ(bar.ui.fileDialogs().at(1).purpose, FileChoice::Editor);
}

// A front end that cannot show a file dialog: nothing may be reset.
TEST(ToolSelectionWithoutFileDialogs, EveryOperationLeavesFieldsAndKeysAlone) {
    FakeBar bar(PlatformRules::posix());
    ScriptedUi& ui = bar.ui;
    ui.setCanChooseFiles(false);
    Services services{bar.rules, bar.settings, bar.files, bar.processes, ui, "kestro-build"};
    storeTools(bar, "/tex/platex", "/tex/pbibtex", "/tex/dvipdfmx", "/tex/mendex");
    bar.settings.writeSettingString("Editor", "EDIT", "/usr/bin/vi");
    const std::string before = bar.settingsText();
    BarState state;
    state.texCommand = "/tex/platex";
    state.bibtexCommand = "/tex/pbibtex";
    state.dvipdfCommand = "/tex/dvipdfmx";
    state.indexCommand = "/tex/mendex";
    state.editorPath = "/usr/bin/vi";

    changeTexCompiler(state, services);
    EXPECT_EQ(selectTexCompiler(state, services), 0);
    EXPECT_EQ(selectBibtex(state, services), 0);
    EXPECT_EQ(selectDvipdf(state, services), 0);
    EXPECT_EQ(selectIndexTool(state, services), 0);
    selectEditor(state, services);

    EXPECT_EQ(bar.settingsText(), before);
    EXPECT_EQ(state.texCommand, "/tex/platex");
    EXPECT_EQ(state.bibtexCommand, "/tex/pbibtex");
    EXPECT_EQ(state.dvipdfCommand, "/tex/dvipdfmx");
    EXPECT_EQ(state.indexCommand, "/tex/mendex");
    EXPECT_EQ(state.editorPath, "/usr/bin/vi");
    EXPECT_TRUE(ui.fileDialogs().empty());

    // One OK-only hint per operation, each sending the user to the panel's
    // button for that tool.
    const std::vector<std::string> buttons = {"TeX の変更", "TeX の変更", "jBibTeX の選択",
                                              "dvipdfmx の選択", "mendex の選択", "ｴﾃﾞｨﾀ の変更"};
    ASSERT_EQ(ui.boxes().size(), buttons.size());
    for (std::size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(ui.boxes()[i].buttons, BoxButtons::Ok);
        EXPECT_NE(ui.boxes()[i].text.find("「設定」で「" + buttons[i] + "」"), std::string::npos)
            << ui.boxes()[i].text;
    }
}

}  // namespace
}  // namespace kestro

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
    EXPECT_EQ(box.owner, BoxOwner::Application);
    EXPECT_EQ(box.buttons, BoxButtons::OkCancel);
    EXPECT_EQ(box.icon, BoxIcon::Exclamation);
    EXPECT_EQ(box.caption, "Kestro");
    EXPECT_EQ(box.text, text);
}

TEST(ToolSelectionDialogs, ToolAndEditorDialogsCarryTheirFiltersAndFlags) {
    const FileDialogRequest tool = toolFileDialog(FileChoice::Dvipdf);
    EXPECT_EQ(tool.purpose, FileChoice::Dvipdf);
    EXPECT_EQ(tool.filter, "Exe files (*.exe)|*.exe||");
    EXPECT_EQ(tool.defaultExtension, "");
    EXPECT_EQ(tool.initialName, "");
    EXPECT_EQ(tool.flags, 0x1004u);

    const FileDialogRequest editor = editorFileDialog();
    EXPECT_EQ(editor.purpose, FileChoice::Editor);
    EXPECT_EQ(editor.filter, "実行ファイル(*.exe)|*.exe||");
    EXPECT_EQ(editor.defaultExtension, "exe");
    EXPECT_EQ(editor.initialName, "*.exe");
    EXPECT_EQ(editor.flags, 0x1004u);
}

TEST(SelectTexCompiler, PlatexInW32texDerivesAllCompanionsOnWindows) {
    FakeBar bar(PlatformRules::windows());
    BarState state = startState(bar.rules);
    bar.ui.answerFileDialog("C:\\w32tex\\bin\\platex.exe");

    EXPECT_EQ(selectTexCompiler(state, bar.services), 1);

    EXPECT_TRUE(bar.ui.boxes().empty());
    ASSERT_EQ(bar.ui.fileDialogs().size(), 1u);
    EXPECT_EQ(bar.ui.fileDialogs()[0].purpose, FileChoice::TexCompiler);
    EXPECT_EQ(state.texCommand, "C:\\w32tex\\bin\\platex.exe");
    EXPECT_EQ(state.dvipdfCommand, "C:\\w32tex\\bin\\dvipdfmx");
    EXPECT_EQ(state.bibtexCommand, "C:\\w32tex\\bin\\jbibtex");
    EXPECT_EQ(state.indexCommand, "C:\\w32tex\\bin\\mendex");
    EXPECT_EQ(bar.setting("Settings", "TeX"), "C:\\w32tex\\bin\\platex.exe");
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "C:\\w32tex\\bin\\dvipdfmx");
    EXPECT_EQ(bar.setting("Settings", "Bib"), "C:\\w32tex\\bin\\jbibtex");
    EXPECT_EQ(bar.setting("Settings", "MkIdx"), "C:\\w32tex\\bin\\mendex");
}

TEST(SelectTexCompiler, CompanionNamesFollowTheCompilerName) {
    struct Case {
        std::string chosen;
        std::string bib;
        std::string index;
    };
    const Case cases[] = {
        {"C:\\texlive\\bin\\pdflatex.exe", "C:\\texlive\\bin\\bibtex", "C:\\texlive\\bin\\makeindex"},
        {"C:\\texlive\\bin\\uplatex.exe", "C:\\texlive\\bin\\jbibtex", "C:\\texlive\\bin\\mendex"},
        // A directory name counts like a file name.
        {"C:\\latex\\bin\\tex.exe", "C:\\latex\\bin\\bibtex", "C:\\latex\\bin\\makeindex"},
        // Forward slashes separate too.
        {"C:/tl/bin/platex.exe", "C:/tl/bin/jbibtex", "C:/tl/bin/mendex"},
        // No directory at all: the derived names stay bare.
        {"platex.exe", "jbibtex", "mendex"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        FakeBar bar(PlatformRules::windows());
        BarState state = startState(bar.rules);
        bar.ui.answerFileDialog(c.chosen);
        EXPECT_EQ(selectTexCompiler(state, bar.services), 1);
        EXPECT_EQ(bar.setting("Settings", "Bib"), c.bib);
        EXPECT_EQ(bar.setting("Settings", "MkIdx"), c.index);
        EXPECT_EQ(state.bibtexCommand, c.bib);
        EXPECT_EQ(state.indexCommand, c.index);
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

TEST(SelectTexCompiler, DirectoryEndsAtARealBackslashNotATrailByte) {
    FakeBar bar(PlatformRules::windows());
    BarState state = startState(bar.rules);
    // ソ ends in the byte 0x5C; the directory is still C:\w\ .
    bar.ui.answerFileDialog("C:\\w\\\x83\x5C" "platex.exe");
    EXPECT_EQ(selectTexCompiler(state, bar.services), 1);
    EXPECT_EQ(state.bibtexCommand, "C:\\w\\jbibtex");
    EXPECT_EQ(state.indexCommand, "C:\\w\\mendex");
    EXPECT_EQ(state.dvipdfCommand, "C:\\w\\dvipdfmx");
}

TEST(SelectTexCompiler, ConverterAlreadyNamingAnExecutableIsKept) {
    FakeBar bar(PlatformRules::windows());
    storeTools(bar, "platex", "jbibtex", "C:\\tex\\bin\\dvipdfmx.exe", "mendex");
    BarState state = startState(bar.rules);
    state.dvipdfCommand = "C:\\tex\\bin\\dvipdfmx.exe";
    bar.ui.answerFileDialog("C:\\w32tex\\bin\\platex.exe");

    EXPECT_EQ(selectTexCompiler(state, bar.services), 1);

    EXPECT_EQ(state.dvipdfCommand, "C:\\tex\\bin\\dvipdfmx.exe");
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "C:\\tex\\bin\\dvipdfmx.exe");
    EXPECT_EQ(state.bibtexCommand, "C:\\w32tex\\bin\\jbibtex");
}

TEST(SelectTexCompiler, LinuxDerivesPbibtexAndKeepsAConverterPath) {
    FakeBar bar(PlatformRules::posix());
    BarState state = startState(bar.rules);
    bar.ui.answerFileDialog("/opt/texlive/bin/x86_64-linux/platex");
    EXPECT_EQ(selectTexCompiler(state, bar.services), 1);
    EXPECT_EQ(bar.setting("Settings", "Bib"), "/opt/texlive/bin/x86_64-linux/pbibtex");
    EXPECT_EQ(bar.setting("Settings", "MkIdx"), "/opt/texlive/bin/x86_64-linux/mendex");
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "/opt/texlive/bin/x86_64-linux/dvipdfmx");

    // On Linux a converter given by path is what ".exe" is on Windows.
    state.dvipdfCommand = "/usr/local/bin/dvipdfmx";
    bar.settings.writeSettingString("Settings", "DviPdf", state.dvipdfCommand);
    bar.ui.answerFileDialog("/usr/bin/pdflatex");
    EXPECT_EQ(selectTexCompiler(state, bar.services), 1);
    EXPECT_EQ(state.dvipdfCommand, "/usr/local/bin/dvipdfmx");
    EXPECT_EQ(bar.setting("Settings", "DviPdf"), "/usr/local/bin/dvipdfmx");
    EXPECT_EQ(state.bibtexCommand, "/usr/bin/bibtex");
    EXPECT_EQ(state.indexCommand, "/usr/bin/makeindex");
}

TEST(SelectTexCompiler, CancelChangesNothing) {
    FakeBar bar(PlatformRules::windows());
    storeTools(bar, "C:\\tex\\bin\\platex.exe", "jbibtex", "dvipdfmx", "mendex");
    const std::string before = bar.settingsText();
    BarState state = startState(bar.rules);
    state.texCommand = "C:\\tex\\bin\\platex.exe";
    bar.ui.answerFileDialog(std::nullopt);

    EXPECT_EQ(selectTexCompiler(state, bar.services), 0);

    EXPECT_EQ(state.texCommand, "C:\\tex\\bin\\platex.exe");
    EXPECT_EQ(bar.settingsText(), before);
}

TEST(ChangeTexCompiler, CancelOnTheExplanationReturnsToPlatex) {
    FakeBar bar(PlatformRules::windows());
    storeTools(bar, "C:\\tex\\bin\\platex.exe", "jbibtex", "dvipdfmx", "mendex");
    BarState state = startState(bar.rules);
    state.texCommand = "C:\\tex\\bin\\platex.exe";
    bar.ui.answerQuestion(Answer::Cancel);

    changeTexCompiler(state, bar.services);

    ASSERT_EQ(bar.ui.boxes().size(), 1u);
    expectAppQuestion(bar.ui.boxes()[0], kChangeTexText);
    EXPECT_TRUE(bar.ui.fileDialogs().empty());
    EXPECT_EQ(state.texCommand, "platex");
    EXPECT_FALSE(bar.hasSetting("Settings", "TeX"));
    EXPECT_EQ(bar.setting("Settings", "Bib"), "jbibtex");
}

TEST(ChangeTexCompiler, OkThenCancelledDialogChangesNothing) {
    FakeBar bar(PlatformRules::windows());
    storeTools(bar, "C:\\tex\\bin\\platex.exe", "jbibtex", "dvipdfmx", "mendex");
    const std::string before = bar.settingsText();
    BarState state = startState(bar.rules);
    state.texCommand = "C:\\tex\\bin\\platex.exe";
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog(std::nullopt);

    changeTexCompiler(state, bar.services);

    EXPECT_EQ(state.texCommand, "C:\\tex\\bin\\platex.exe");
    EXPECT_EQ(bar.settingsText(), before);
}

TEST(ChangeTexCompiler, OkThenChosenCompilerDerives) {
    FakeBar bar(PlatformRules::windows());
    BarState state = startState(bar.rules);
    bar.ui.answerQuestion(Answer::Ok);
    bar.ui.answerFileDialog("C:\\w32tex\\bin\\platex.exe");

    changeTexCompiler(state, bar.services);

    EXPECT_EQ(bar.ui.events().front().rfind("box: ", 0), 0u);
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
        EXPECT_EQ(bar.ui.fileDialogs()[0].filter, "Exe files (*.exe)|*.exe||");
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
    ASSERT_EQ(bar.ui.fileDialogs().size(), 2u);
    EXPECT_EQ(bar.ui.fileDialogs()[1].filter, "実行ファイル(*.exe)|*.exe||");
}

// A front end that cannot show a file dialog: nothing may be reset.
class NoFileDialogUi : public ScriptedUi {
public:
    bool canChooseFiles() const override { return false; }
};

TEST(ToolSelectionWithoutFileDialogs, EveryOperationLeavesFieldsAndKeysAlone) {
    FakeBar bar(PlatformRules::posix());
    NoFileDialogUi ui;
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
        EXPECT_EQ(ui.boxes()[i].caption, "kestro-build");
        EXPECT_NE(ui.boxes()[i].text.find("「設定」で「" + buttons[i] + "」"), std::string::npos)
            << ui.boxes()[i].text;
    }
}

}  // namespace
}  // namespace kestro

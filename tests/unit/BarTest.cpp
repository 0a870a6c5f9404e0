// The bar and Kestro.ini: the INI text as the Win32 profile functions read
// and write it, the settings operations, what the bar loads at start-up;
// the document and its history, the dispatcher, the editor and the
// console, the settings panel, and the texts the bar shows.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <new>
#include <regex>
#include <sstream>
#ifdef _WIN32
#include <windows.h>
#endif

#include "FakePlatform.h"
#include "app/BarWindow.h"
#include "app/ControlTable.h"
#include "pipeline/DocumentDirectory.h"
#include "document/EditorAndPrompt.h"
#include "settings/IniText.h"
#include "state/SettingsLoad.h"

namespace kestro::fake {
namespace {

using Value = std::optional<std::string>;

Value lookup(std::string_view text, std::string_view section, std::string_view key, CodePage cp = CodePage::Utf8) {
    return iniLookup(cp, text, section, key);
}
std::string write(std::string_view text, std::string_view section, std::string_view key,
                  std::optional<std::string_view> value, CodePage cp = CodePage::Utf8) {
    return iniWrite(cp, text, section, key, value);
}

TEST(IniText, LookupDropsBlanksAndOnePairOfQuotesAndIgnoresCase) {
    const std::string text =
        "orphan=before any section\n[Settings]\r\n  Bib  =  pbibtex  \r\njust words\n[unclosed\nk=v\n"
        "a=\"C:\\Program Files\\x.exe\"\nb='single'\nc=\"mismatched'\nd=\"\"inner\"\"\nempty=\nx==y\nk=second\n"
        "[ Editor ] trailing words\nEDIT=\n[settings]\nlater=1\n";
    const std::tuple<const char*, const char*, Value> cases[] = {
        {"SETTINGS", "bib", "pbibtex"}, {"Settings", "orphan", std::nullopt}, {"Settings", "k", "v"},
        {"Settings", "a", "C:\\Program Files\\x.exe"}, {"Settings", "b", "single"},
        {"Settings", "c", "\"mismatched'"}, {"Settings", "d", "\"inner\""}, {"Settings", "empty", ""},
        {"Settings", "x", "=y"}, {"Settings", "just words", std::nullopt}, {"editor", "edit", ""},
        {"Editor", "EDITX", std::nullopt}, {"Settings", "later", std::nullopt},  // only the first section counts
    };
    for (const auto& [section, key, value] : cases) EXPECT_EQ(lookup(text, section, key), value) << key;
    EXPECT_EQ(lookup("\xEF\xBB\xBF[S]\r\nk=v", "S", "k"), "v");
    // In CP932 0x83 0x41 and 0x83 0x61 are different characters, and the
    // trail byte ']' of 0x83 0x5D closes no section.
    const std::string cp932 = "[\x83\x41]\r\nk=1\r\n[S\x83\x5D\r\nk=2\r\n";
    EXPECT_EQ(lookup(cp932, "\x83\x41", "K", CodePage::Cp932), "1");
    EXPECT_EQ(lookup(cp932, "\x83\x61", "k", CodePage::Cp932), std::nullopt);
    EXPECT_EQ(lookup(cp932, "S\x83", "k", CodePage::Cp932), std::nullopt);
}

TEST(IniText, WritingChangesOnlyTheKeysLine) {
    const std::string before = "\xEF\xBB\xBF; by hand\r\n[Settings]\r\n  TeX =  platex  \r\nwords\r\n[RFL]\r\nFile0=C:\\\x95\x5C\r\n";
    EXPECT_EQ(write(before, "settings", "tex", "uplatex", CodePage::Cp932),
              "\xEF\xBB\xBF; by hand\r\n[Settings]\r\nTeX=uplatex\r\nwords\r\n[RFL]\r\nFile0=C:\\\x95\x5C\r\n");
    EXPECT_EQ(write("[S]\r\n  k = v \r\n", "S", "K", "v"), "[S]\r\n  k = v \r\n");
    // A new key follows the section's last key line, in the file's line ends.
    EXPECT_EQ(write("[S]\na=1\nwords\n[T]\nx=9\n[S]\nc=3\n", "s", "New", "v"),
              "[S]\na=1\nNew=v\nwords\n[T]\nx=9\n[S]\nc=3\n");
    EXPECT_EQ(write("[A]\nx=1", "A", "k", "v"), "[A]\nx=1\nk=v\n");
    EXPECT_EQ(write("", "Settings", "TeX", "platex"), "[Settings]\r\nTeX=platex\r\n");
    EXPECT_EQ(write("[A]\nx=1\r\n", "B", "k", "v"), "[A]\nx=1\r\n[B]\nk=v\n");
    // Deleting removes the first matching line; a later one shows through.
    EXPECT_EQ(write("[S]\r\nk=1\r\nK=3\r\n", "S", "k", std::nullopt), "[S]\r\nK=3\r\n");
    EXPECT_EQ(write("[S]\r\n", "U", "k", std::nullopt), "[S]\r\n");
    // What the line format cannot hold is refused, so no key can be planted.
    const std::pair<std::string, std::string> refused[] = {{"k", "a\r\n[Evil]\r\nx=1"}, {"a=b", "v"}, {"  ", "v"},
                                                           {"[k", "v"}};
    for (const auto& [key, value] : refused) {
        EXPECT_EQ(write("[S]\r\nk=v\r\n", "S", key, value), "[S]\r\nk=v\r\n") << key;
    }
}

TEST(IniText, NumbersAndTheReadBufferAsWindowsReadsThem) {
    const std::pair<const char*, int> numbers[] = {
        {"12abc", 12}, {"-5", -5}, {"0X1f", 0}, {"\t42", 42}, {"0b101", 5}, {"0o17", 15}, {"\x01" "5", 5},
        {"000000000000000000000000000001", 0}, {"00000000000000000000000000001", 1}, {"-0x10", -16},
        {"4294967295", -1}, {"99999999999", 1215752191}, {"0x1f", 31}, {"0xA", 10}, {"7b1", 7},
    };
    for (const auto& [text, number] : numbers) EXPECT_EQ(profileIntFromText(text), number) << text;
    std::string cp932;
    while (cp932.size() < 5000) cp932 += "\x95\x5C";
    EXPECT_EQ(limitProfileString(CodePage::Cp932, cp932), cp932.substr(0, 4095));
    std::string utf8 = "x";
    while (utf8.size() < 4200) utf8 += "\xE8\xA1\xA8";
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8).size(), 1u + 3 * 1364);
    EXPECT_EQ(limitProfileString(CodePage::Utf8, utf8.substr(1)).size(), 4095u);
}

// An empty value is the default number but an empty text; a write that
// changes nothing writes nothing; a failed write is reported once, even one
// before the handler came; an empty path touches nothing, and one that was
// too long makes the bar say so once.
TEST(SettingsFile, ReadsWritesFailuresAndTheEmptyPath) {
    FakeBar bar(PlatformRules::posix());
    bar.store.setFile("/start/Kestro.ini", "[Editor]\r\nEDIT=\r\n[Settings]\r\nPdfSizeNo=\r\n");
    EXPECT_EQ(bar.settings.readSettingString("Editor", "EDIT", "xdg-open"), "");
    EXPECT_EQ(bar.settings.readSettingInt("Settings", "PdfSizeNo", 1), 1);
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", -13);
    EXPECT_EQ(bar.settings.readSettingInt("Settings", "PdfSizeNo", 1), -13);
    const int writes = bar.store.writes;
    bar.settings.writeSettingInt("Settings", "PdfSizeNo", -13);
    bar.settings.deleteSetting("Other", "Absent");
    EXPECT_EQ(bar.store.writes, writes);
    std::vector<std::string> reported;
    bar.store.failWrites = true;
    bar.settings.writeSettingInt("Settings", "Acr", 1);
    bar.settings.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });
    bar.settings.deleteSetting("Editor", "EDIT");
    bar.settings.writeSettingString("RFL", "File0", "/tmp/a\n[Settings]\nTeX=/tmp/evil");
    EXPECT_EQ(reported, std::vector<std::string>{"/start/Kestro.ini"});
    FakeBar none(PlatformRules::windows(), "");
    none.settings.onFirstWriteFailure([&](const std::string& path) { reported.push_back(path); });
    EXPECT_EQ(none.settings.readSettingInt("Settings", "Acr", 3), 3);
    none.settings.writeSettingString("Settings", "TeX", "uplatex");
    none.settings.deleteSetting("Settings", "TeX");
    EXPECT_EQ(none.store.reads + none.store.writes, 0);
    EXPECT_EQ(reported.size(), 1u);
    EXPECT_FALSE(none.profile.writeString("", "Settings", "TeX", std::string("x")));
    FakeBar tooLong(PlatformRules::windows(), "", true);
    BarWindow(tooLong.services, "").initialise();
    EXPECT_EQ(tooLong.ui.boxTexts(), std::vector<std::string>{startFolderTooLongText()});
}

// Start-up keeps the paper size only with "from now on"; "until the next
// start" is erased with the size.
TEST(StartupLoad, PaperKeysAndToolDefaults) {
    const std::tuple<const char*, int, int, int, const char*, const char*> cases[] = {
        {"", 1, 0, 0, "0", "1"},
        {"PdfNeShow=1\r\nPdfSizeNo=10\r\nPdfNShow=1", 10, 1, 1, "1", "10"},
        {"PdfNShow=1\r\nPdfNeShow=0\r\nPdfSizeNo=7", 1, 0, 0, "0", "1"},
        {"PdfNeShow=1", 1, 1, 1, "<absent>", "<absent>"},
    };
    for (const auto& [stored, sizeNo, sticky, never, nShowAfter, sizeNoAfter] : cases) {
        SCOPED_TRACE(stored);
        FakeBar bar(PlatformRules::windows());
        bar.store.setFile("C:\\start\\Kestro.ini", std::string("[Settings]\r\n") + stored + "\r\n");
        BarState state;
        loadPaperGroup(state, bar.settings);
        loadToolGroup(state, bar.settings, bar.rules);
        EXPECT_EQ(std::tuple(state.paperSizeNo, state.paperSizeSticky, state.paperDialogNever),
                  std::tuple(sizeNo, sticky, never));
        EXPECT_EQ(bar.setting("Settings", "PdfNShow") + " " + bar.setting("Settings", "PdfSizeNo"),
                  std::string(nShowAfter) + " " + sizeNoAfter);
        EXPECT_EQ(state.indexOptions, "-s myindex");
    }
}

class BarTest : public ::testing::Test {
protected:
    // A bar started on a settings file holding `stored` as its history.
    BarWindow& start(const Texts& stored, const std::string& tail = "", bool windows = true) {
        bar.reset();
        fake = std::make_unique<FakeBar>(windows ? PlatformRules::windows() : PlatformRules::posix());
        std::string text = "[RFL]\r\n";
        for (std::size_t i = 0; i < stored.size(); ++i) text += "File" + std::to_string(i) + "=" + stored[i] + "\r\n";
        fake->store.setFile(fake->settings.path(), text);
        bar = std::make_unique<BarWindow>(fake->services, tail);
        bar->initialise();
        return *bar;
    }
    const Texts& entries() const { return bar->history().entries(); }
    static Texts numbered(int count) {
        Texts entries;
        for (int i = 0; i < count; ++i) entries.push_back("C:\\d\\doc" + std::to_string(i) + ".tex");
        return entries;
    }

    std::unique_ptr<FakeBar> fake;
    std::unique_ptr<BarWindow> bar;
};

// The history is read up to its first empty key; the command line's document
// goes on top without cutting the list; sixteen are written back at the end.
TEST_F(BarTest, TheStartUpDocumentGoesOnTopAndSixteenAreKept) {
    start({"C:\\work\\paper.final.tex", "C:\\old\\a.tex", "", "C:\\e.tex"});
    EXPECT_EQ(entries(), (Texts{"C:\\work\\paper.final.tex", "C:\\old\\a.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_EQ(bar->state().documentStem, "paper.final");
    start(numbered(16), "\"C:\\d\\doc3.tex\"");
    EXPECT_EQ(bar->history().count(), 17);
    EXPECT_EQ(bar->history().text(0), "C:\\d\\doc3.tex");
    bar->acceptDroppedFile({"C:\\x\\new.tex"});
    EXPECT_EQ(bar->history().count(), 17);
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File1"), "C:\\d\\doc3.tex");
    EXPECT_EQ(fake->setting("RFL", "File15"), "C:\\d\\doc13.tex");
    EXPECT_EQ(fake->setting("RFL", "File16"), "<absent>");
}

// A drop takes the first file, only a .tex or .TEX one that Windows can
// open (the file-error box for a longer path), unselected; the file
// dialog's choice is selected.
TEST_F(BarTest, DropsAndTheFileDialogChangeTheDocument) {
    start(numbered(16));
    for (const std::string& rejected : Texts{"C:\\a\\notes.txt", "C:\\a\\paper.Tex", "C:\\a.tex\\paper", "C:\\" + std::string(253, 'a') + ".tex"}) {
        bar->dispatch([&] { bar->acceptDroppedFile({rejected, "C:\\a\\b.tex"}); });
    }
    EXPECT_EQ(fake->ui.boxes.size(), 4u);
    EXPECT_EQ(fake->ui.boxes.back().icon, BoxIcon::Stop);
    EXPECT_EQ(bar->state().documentStem, "doc0");
    bar->acceptDroppedFile({"C:\\a\\PAPER.TEX"});
    EXPECT_EQ(bar->state().documentStem + bar->state().documentExt, "PAPER.TEX");
    EXPECT_EQ(bar->history().editText(), "C:\\a\\PAPER.TEX");
    EXPECT_NE(bar->history().selection(), 0);
    EXPECT_EQ(entries().back(), "C:\\d\\doc14.tex");
    EXPECT_EQ(fake->ui.count("focus history"), 1);
    fake->ui.files = {std::string("C:\\b\\chosen.tex"), std::nullopt};
    bar->chooseDocumentFile();
    bar->chooseDocumentFile();
    EXPECT_EQ(bar->state().documentStem, "chosen");
    EXPECT_EQ(bar->history().selection(), 0);
    // A listed document moves to the top, its name matched without case on Windows only.
    start({"C:\\a\\one.tex", "C:\\a\\two.tex"});
    bar->acceptDroppedFile({"c:\\A\\TWO.tex"});
    EXPECT_EQ(entries(), (Texts{"c:\\A\\TWO.tex", "C:\\a\\one.tex"}));
    start({"/a/Paper.tex"}, "", false);
    bar->acceptDroppedFile({"/a/paper.tex"});
    EXPECT_EQ(entries(), (Texts{"/a/paper.tex", "/a/Paper.tex"}));
}

// A pick moves an entry whose file exists to the top and forgets one whose
// file is gone; slots above the list are cleared at the end.
TEST_F(BarTest, PicksMoveOrForgetEntriesAndTheWriteBackClearsTheRest) {
    start({"C:\\a\\0.tex", "C:\\a\\1.tex", "C:\\a\\gone.tex", "C:\\a\\3.tex"});
    fake->files.write("C:\\a\\3.tex", "x");
    bar->pickHistoryEntry(3);
    EXPECT_EQ(entries(), (Texts{"C:\\a\\3.tex", "C:\\a\\0.tex", "C:\\a\\1.tex", "C:\\a\\gone.tex"}));
    EXPECT_EQ(bar->history().selection(), 0);
    EXPECT_EQ(bar->state().documentStem, "3");
    bar->pickHistoryEntry(3);
    bar->pickHistoryEntry(-1);
    EXPECT_EQ(entries(), (Texts{"C:\\a\\3.tex", "C:\\a\\0.tex", "C:\\a\\1.tex"}));
    EXPECT_EQ(bar->state().documentStem, "3");
    EXPECT_TRUE(fake->ui.boxes.empty());
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File2"), "C:\\a\\1.tex");
    EXPECT_EQ(fake->setting("RFL", "File3"), "<absent>");
    // Every ending calls endRun: the history is written once, odd bytes kept.
    const std::string odd = "C:\\\x81\\x\x82.tex";
    bar->acceptDroppedFile({odd});
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File0"), "C:\\a\\3.tex");
    start({odd});
    bar->endRun();
    EXPECT_EQ(fake->setting("RFL", "File0"), odd);
}

// A path with a line break is turned away wherever it comes in, with the
// message that names it: the document and the history stay as they were.
TEST_F(BarTest, APathWithALineBreakIsRefusedWhereverItComesIn) {
    const Texts stored{"/a/one.tex", "/a/t\rwo.tex"};
    start(stored, "/a/x\ny.tex", false);
    fake->ui.files = {std::string("/a/c\n.tex")};
    bar->chooseDocumentFile();
    bar->acceptDroppedFile({"/a/d\r.tex"});
    fake->files.write(stored[1], "x");
    bar->pickHistoryEntry(1);
    EXPECT_EQ(entries(), stored);
    EXPECT_EQ(bar->state().documentPath, "/a/one.tex");
    EXPECT_EQ(fake->ui.boxTexts(), Texts(4, lineBreakInPathText()));
    start({"/a/t\rwo.tex"}, "", false);
    EXPECT_EQ(bar->state().documentPath, "");
}

// File errors end the operation with the stop box, memory errors with a
// system-modal one; no document directory is no directory to enter.
TEST_F(BarTest, TheDispatcherShowsFileAndMemoryErrors) {
    start({});
    EXPECT_EQ(bar->history().selection(), -1);
    bar->dispatch([] { throw FileError(FileErrorCause::NotFound, "a.log"); });
    bar->dispatch([] { throw MemoryError(); });
    ASSERT_EQ(fake->ui.boxes.size(), 2u);
    EXPECT_EQ(fake->ui.boxes[0].icon, BoxIcon::Stop);
    EXPECT_TRUE(fake->ui.boxes[1].systemModal && fake->ui.boxes[1].icon == BoxIcon::Exclamation);
    EXPECT_EQ(fake->ui.boxes[1].caption, fake->services.appName);
    enterDocumentDirectory(BarState(), fake->services);
    EXPECT_TRUE(fake->files.directoryChanges.empty());
    struct Exhausted : MemoryFileSystem {
        std::string readWholeFile(const std::string&) override { throw std::bad_alloc(); }
    } exhausted;
    EXPECT_THROW(readTextFile(exhausted, "big.log"), MemoryError);
}

TEST(TheBarsTexts, EveryMessageItsTooltipsAndTheVersionCommand) {
    // The texts of the file errors, with the name in place of %1.
    const std::pair<FileErrorCause, std::string> causes[] = {
        {FileErrorCause::NotFound, "a.log が見つかりませんでした。"},
        {FileErrorCause::InvalidPath, "a.log には無効なﾊﾟｽが含まれています。"},
        {FileErrorCause::TooManyOpenFiles, "開いているﾌｧｲﾙが多すぎるため、a.log を開けませんでした。"},
        {FileErrorCause::AccessDenied, "a.log へのｱｸｾｽは拒否されました。"},
        {FileErrorCause::InvalidHandle, "a.log へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。"},
        {FileErrorCause::HardwareIo, "a.log へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。"},
        {FileErrorCause::SharingViolation, "a.log へのｱｸｾｽ中に共有違反が発生しました。"},
        {FileErrorCause::LockViolation, "a.log へのｱｸｾｽ中にﾛｯｸ違反が発生しました。"},
        {FileErrorCause::Other, "a.log へのｱｸｾｽ中に不明なｴﾗｰが発生しました。"},
    };
    for (const auto& [cause, text] : causes) EXPECT_EQ(fileErrorText(FileError(cause, "a.log")), text);
    EXPECT_EQ(fileErrorText(FileError(FileErrorCause::NotFound, "")), "無題のﾌｧｲﾙ が見つかりませんでした。");
    EXPECT_EQ(fileErrorText(FileError(FileErrorCause::NotFound, "%1")), "%1 が見つかりませんでした。");
    EXPECT_EQ(memoryErrorText(), "ﾒﾓﾘが不足しています。");
    EXPECT_EQ(settingsWriteFailureText("C:\\Kestro.ini"),
              "設定ファイル \"C:\\Kestro.ini\" に書き込めません。\n設定は保存されません。");
    EXPECT_EQ(BarWindow::tooltipText(PlatformRules::posix(), 1011), "\nTeX のコンパイルからPDF の作成・表示まで");
    EXPECT_EQ(BarWindow::tooltipText(PlatformRules::windows(), 1002), "\nTeX のコンパイル");
    EXPECT_EQ(BarWindow::tooltipText(PlatformRules::posix(), 1017), "");
    EXPECT_EQ(BarWindow::aboutMenuText(), "Kestro のﾊﾞｰｼﾞｮﾝ情報(&A)...");
    const std::pair<int, bool> commands[] = {{16, true}, {31, true}, {32, false}, {15, false}};
    for (const auto& [command, about] : commands) EXPECT_EQ(BarWindow::isAboutCommand(command), about) << command;
}

// UTF-8 text as this build compiles the core's literals: CP932 on Windows.
std::string nativeText(const std::string& utf8) {
#ifdef _WIN32
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), static_cast<int>(wide.size())));
    std::string text(wide.size() * 2, '\0');
    text.resize(WideCharToMultiByte(932, 0, wide.data(), static_cast<int>(wide.size()), text.data(), static_cast<int>(text.size()), nullptr, nullptr));
    return text;
#else
    return utf8;
#endif
}

// Every template of the resource script draws the table's caption, size
// and controls, in order, with their IDs, texts, places and sizes.
TEST(ResourceScript, DrawsTheTemplatesOfTheControlTable) {
    const auto read = [](const char* path) {
        std::ostringstream text;
        text << std::ifstream(path).rdbuf();
        return text.str();
    };
    // The script's UTF-8 texts as this build compiles the table's (CP932 on
    // Windows).
    const auto cp932 = [](const std::string& utf8) { return std::regex_replace(nativeText(utf8), std::regex(R"(\\n)"), "\n"); };
    std::map<std::string, std::string> ids{{"IDOK", "1"}, {"IDCANCEL", "2"}};
    const std::string header = read(KESTRO_RESOURCES "/resource.h");
    const std::regex define(R"(#define (\w+) \(?(-?\d+)\)?)");
    for (std::sregex_iterator it(header.begin(), header.end(), define), end; it != end; ++it) ids[(*it)[1]] = (*it)[2];
    // "NAME DIALOG x, y, w, h", "CAPTION "…"", and "KEYWORD ["text",] [icon,] ID, [class, style,] x, y, w, h, …";
    // a CONTROL's kind is its style's first word.
    const std::regex head(R"((\w+) DIALOG(?:EX)? (\d+, \d+, \d+, \d+))"), caption(R"re(CAPTION "(.*)")re"),
        control(R"re( +(\w+) +(?:"([^"]*)", *)?(?:\w+, )?(\w+), (?:"\w+", (\w+)[^,]*, )?(\d+), (\d+), (\d+), (\d+)(?:,.*)?)re");
    std::map<std::string, std::vector<std::string>> drawn;  // "KIND ID [text] x y w h" by template
    std::vector<std::string>* form = nullptr;
    std::istringstream script(read(KESTRO_RESOURCES "/kestro.rc"));
    for (std::string line; std::getline(script, line);) {
        std::smatch m;
        if (line == "END") {
            form = nullptr;
        } else if (std::regex_match(line, m, head)) {
            form = &drawn[ids[m[1]]];
            form->push_back(m[2]);
        } else if (form && std::regex_match(line, m, caption)) {
            form->push_back(cp932(m[1]));
        } else if (form && std::regex_match(line, m, control)) {
            form->push_back((m[1] == "CONTROL" ? m[4] : m[1]).str() + " " + ids[m[3]] + " [" + cp932(m[2]) + "] " + m[5].str() + " " +
                            m[6].str() + " " + m[7].str() + " " + m[8].str());
        }
    }
    // The script's words for the kinds, in the order of ControlKind.
    const char* const kinds[] = {"LTEXT", "SS_ICON", "PUSHBUTTON", "DEFPUSHBUTTON", "BS_AUTOCHECKBOX", "BS_AUTORADIOBUTTON", "EDITTEXT", "COMBOBOX"};
    for (const DialogTemplate& t : dialogTemplates()) {
        std::vector<std::string> table{std::to_string(t.left) + ", " + std::to_string(t.top) + ", " + std::to_string(t.width) +
                                           ", " + std::to_string(t.height), t.caption};
        for (const TemplateControl& c : t.controls) {
            table.push_back(kinds[static_cast<int>(c.kind)] + (" " + std::to_string(c.id)) + " [" + c.text + "] " + std::to_string(c.left) + " " + std::to_string(c.top) +
                            " " + std::to_string(c.width) + " " + std::to_string(c.height));
        }
        EXPECT_EQ(drawn[std::to_string(t.id)], table) << "template " << t.id;
    }
}

// The editor opens the document in its directory, quoted in the one text of
// Windows, on Linux as one argument whatever it holds; the console starts
// there, trying the terminals in turn.
TEST(EditorAndPrompt, OpenTheirProgramsInTheDocumentsDirectory) {
    FakeBar bar(PlatformRules::windows());
    BarState state{.editorPath = "e.exe"};
    openInEditor(state, bar.services);
    state = {.editorPath = "e.exe", .documentPath = "\"C:\\my work\\a.tex\"", .documentStem = "a", .documentDir = "C:\\my work\\"};
    bar.ui.shellResults = {false, true};
    openInEditor(state, bar.services);
    openInEditor(state, bar.services);
    EXPECT_EQ(bar.ui.events.at(1), "shell open: e.exe");
    EXPECT_EQ(bar.ui.shellOpens.at(0).parameters, Texts{"\"\""});
    EXPECT_EQ(bar.ui.shellOpens.at(1).parameters, Texts{"\"\"C:\\my work\\a.tex\"\""});
    EXPECT_EQ(bar.ui.shellOpens.at(1).directory, "C:\\my work\\");
    EXPECT_EQ(bar.ui.boxes.size(), 2u);
    FakeBar posix(PlatformRules::posix());
    state.documentPath = "/w/x\" -c \"y.tex";
    openInEditor(state, posix.services);
    EXPECT_EQ(posix.ui.shellOpens.at(0).parameters, Texts{state.documentPath});
    posix.files.addDirectory("/w/");
    posix.processes.setEnvironment("PATH", "/usr/bin");
    posix.processes.setEnvironment("TERMINAL", "kitty");
    state.documentDir = "/gone/";
    posix.processes.installExiting("/usr/bin/x-terminal-emulator", -1);  // there, but it cannot start
    for (const char* terminal : {"xterm", "kitty", "x-terminal-emulator"}) {
        posix.processes.installExiting(std::string("/usr/bin/") + terminal, 0);
        openCommandPrompt(state, posix.services);
        EXPECT_EQ(posix.files.currentDirectory(), state.documentDir == "/w/" ? "/w/" : "/start/");  // a folder gone: wherever the bar is
        state.documentDir = "/w/";
    }
    EXPECT_EQ(posix.processes.commandLines(),
              (Texts{"x-terminal-emulator", "xterm", "x-terminal-emulator", "kitty", "x-terminal-emulator"}));
}

// The panel works on its own state from the file; what its buttons store
// reaches the bar when it closes.
TEST(SettingsPanel, ItsButtonsReachTheBarThroughTheFile) {
    FakeBar bar(PlatformRules::windows());
    bar.settings.writeSettingInt("Settings", "PdfNeShow", 1);
    bar.settings.writeSettingString("Settings", "TeX", "C:\\tex\\platex.exe");
    bar.settings.writeSettingString("Settings", "TeXOpt", "-synctex=1");
    BarWindow window(bar.services, "C:\\work\\paper.tex");
    window.initialise();
    ASSERT_EQ(window.state().paperSizeSticky, 1);
    EXPECT_EQ(window.state().texOptions + " " + std::to_string(window.state().rerunOnChange), "-synctex=1 0");
    // Cancel on the compiler's question returns to platex; then a chosen
    // converter is kept when a compiler is chosen after it.
    // Keys no button writes, edited by hand meanwhile, arrive too.
    bar.ui.settingsDialogs.push_back([&bar](SettingsDialog& panel) {
        bar.settings.writeSettingString("Settings", "TeXOpt", "-kanji=sjis");
        bar.settings.writeSettingInt("Settings", "RerunOnChange", 1);
        panel.press(SettingsDialog::kTex);
        panel.press(SettingsDialog::kDvipdf);
        panel.press(SettingsDialog::kTex);
        panel.press(SettingsDialog::kPaperSize);
        return true;
    });
    bar.ui.answers = {Answer::Cancel, Answer::Ok, Answer::Ok};
    bar.ui.files = {std::string("D:\\pdf\\dvipdfmx.exe"), std::string("C:\\w32tex\\bin\\platex.exe")};
    bar.ui.paperDialogs.push_back([](PaperSizeDialog& dialog) {
        dialog.clickSkipFromNowOn();
        dialog.accept(7);
        return true;
    });
    window.press(BarControl::Settings);
    const BarState& state = window.state();
    // The index options are the panel's default, not the start-up's.
    EXPECT_EQ((Texts{state.texCommand, state.bibtexCommand, state.dvipdfCommand, state.indexOptions, state.documentStem}),
              (Texts{"C:\\w32tex\\bin\\platex.exe", "C:\\w32tex\\bin\\jbibtex", "D:\\pdf\\dvipdfmx.exe", "", "paper"}));
    // "From now on" cleared: this run keeps the new size without asking.
    EXPECT_EQ(std::tuple(state.paperSizeNo, state.paperSizeSticky), std::tuple(7, 1));
    EXPECT_EQ(state.texOptions + " " + std::to_string(state.rerunOnChange), "-kanji=sjis 1");
    EXPECT_EQ(bar.ui.count("settings dialog"), 1);
}

}  // namespace
}  // namespace kestro::fake

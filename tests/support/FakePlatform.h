// The seam in memory, so the core runs without touching the machine: files
// with a fake clock, programs that are functions, the settings file's
// storage, a scripted user that answers each question and dialog from the
// test's script (one it did not expect fails the test, answered Cancel), and
// a document beside a scripted TeX installation.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <set>

#include "state/Services.h"
#include "seam/FileError.h"
#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "seam/TextFileStore.h"
#include "settings/IniProfile.h"
#include "settings/IniText.h"

namespace kestro::fake {

using Texts = std::vector<std::string>;

class MemoryFileSystem : public FileSystem {
public:
    // A file stamped with the next tick of the fake clock, or at `time`.
    void write(const std::string& path, const std::string& content, std::optional<FileTime> time = std::nullopt) {
        files_[resolve(path)] = {content, time.value_or(++clock_)};
    }
    void remove(const std::string& path) { files_.erase(path); }
    void addDirectory(const std::string& path) { directories_.insert(path); }

    bool exists(const std::string& path) override {
        return files_.count(resolve(path)) != 0 || directories_.count(resolve(path)) != 0;
    }
    std::optional<FileTime> modificationTime(const std::string& path) override {
        return files_.count(resolve(path)) ? std::optional(files_[resolve(path)].second) : std::nullopt;
    }
    std::string readWholeFile(const std::string& path) override {
        if (!files_.count(resolve(path))) throw FileError(FileErrorCause::NotFound, path);
        return files_[resolve(path)].first;
    }
    // The directories added, and those on the way to them.
    std::vector<std::string> subdirectories(const std::string& directory) override {
        std::set<std::string> names;
        for (const std::string& known : directories_) {
            if (known.size() > directory.size() && known.compare(0, directory.size(), directory) == 0) {
                names.insert(known.substr(directory.size(), known.find_first_of("/\\", directory.size()) - directory.size()));
            }
        }
        return {names.begin(), names.end()};
    }
    std::optional<std::string> currentDirectory() override { return current_; }
    bool setCurrentDirectory(const std::string& path) override {
        directoryChanges.push_back(path);
        if (directories_.count(path)) current_ = path;
        return directories_.count(path);
    }

    std::vector<std::string> directoryChanges;  // every change asked for, in order

private:
    // Relative names resolve against the current directory.
    std::string resolve(const std::string& path) const {
        const bool absolute = path.starts_with("/") || path.starts_with("\\") || path.find(':') == 1;
        return absolute || !current_ ? path : *current_ + path;
    }

    std::map<std::string, std::pair<std::string, FileTime>> files_;
    std::set<std::string> directories_;
    std::optional<std::string> current_;
    FileTime clock_ = 1000;
};

// Programs are functions keyed by the file the lookup must find.
class FakeProcesses : public Processes {
public:
    using Program = std::function<ProcessEnd(const ProcessRequest&)>;
    void install(const std::string& path, Program program) { programs_[path] = std::move(program); }
    // A program that runs `effect` (when given) and exits with `code`.
    void installExiting(const std::string& path, int code, std::function<void()> effect = {}) {
        install(path, [code, effect](const ProcessRequest&) {
            if (effect) effect();
            return ProcessEnd{code, 0};
        });
    }
    void uninstall(const std::string& path) { programs_.erase(path); }
    void setEnvironment(const std::string& name, const std::string& value) { environment_[name] = value; }

    // Every start, waited for or not, in order.
    const std::vector<ProcessRequest>& started() const { return started_; }
    std::vector<std::string> commandLines() const {
        std::vector<std::string> lines;
        for (const ProcessRequest& request : started_) lines.push_back(request.commandLine);
        return lines;
    }

    bool isStartable(const std::string& path) override { return programs_.count(path) != 0; }
    std::optional<std::string> environment(const std::string& name) override {
        return environment_.count(name) ? std::optional(environment_[name]) : std::nullopt;
    }
    ProcessEnd startAndWait(const ProcessRequest& request) override {
        if (!isStartable(request.executable)) return ProcessEnd{};
        started_.push_back(request);
        return programs_[request.executable](request);
    }
    int startNoWait(const ProcessRequest& request) override { return startAndWait(request).exitCode == -1 ? -1 : 0; }

private:
    std::map<std::string, Program> programs_;
    std::map<std::string, std::string> environment_;
    std::vector<ProcessRequest> started_;
};

class MemoryTextFileStore : public TextFileStore {
public:
    std::optional<std::string> read(const std::string& path) override {
        ++reads;
        return files_.count(path) ? std::optional(files_[path]) : std::nullopt;
    }
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override {
        const std::optional<std::string> next = edit(files_.count(path) ? std::optional(files_[path]) : std::nullopt);
        if (!next || failWrites) return !next;
        files_[path] = *next;
        ++writes;
        return true;
    }
    void setFile(const std::string& path, const std::string& content) { files_[path] = content; }

    bool failWrites = false;
    int reads = 0, writes = 0;

private:
    std::map<std::string, std::string> files_;
};

// A desktop open as the core asked for it; no parameters: the viewer's.
struct DesktopOpen {
    std::string file;
    std::optional<Texts> parameters;
    std::string directory;
};

class ScriptedUi : public UserInterface, public Desktop, public BarView {
public:
    ~ScriptedUi() override {
        EXPECT_TRUE(answers.empty() && files.empty() && paperDialogs.empty() && indexDialogs.empty() &&
                    settingsDialogs.empty() && shellResults.empty())
            << "a scripted answer was never asked for";
    }

    // The script, consumed in order within each kind: OK-only boxes need no
    // answer, a file dialog answered with nothing is cancelled, a dialog's
    // function plays the user on the model and returns true for OK.
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<bool(PaperSizeDialog&)>> paperDialogs;
    std::deque<std::function<bool(IndexOptionsDialog&)>> indexDialogs;
    std::deque<std::function<bool(SettingsDialog&)>> settingsDialogs;
    std::deque<bool> shellResults;  // opened when none is scripted
    bool canChoose = true;
    std::function<void(const MessageBoxRequest&)> onMessage;  // before a box is answered

    // What happened, in order: "box: <text>", "file dialog", "paper dialog",
    // "index dialog", "settings dialog", "shell open: <file>", "focus history".
    std::vector<std::string> events;
    std::vector<MessageBoxRequest> boxes;
    std::vector<DesktopOpen> shellOpens;
    bool waitCursor = false;
    int count(const std::string& event) const { return static_cast<int>(std::count(events.begin(), events.end(), event)); }
    std::vector<std::string> boxTexts() const {
        std::vector<std::string> texts;
        for (const MessageBoxRequest& box : boxes) texts.push_back(box.text);
        return texts;
    }

    Answer showMessage(const MessageBoxRequest& box) override {
        boxes.push_back(box);
        if (onMessage) onMessage(box);
        if (box.buttons != BoxButtons::Ok) return next(answers, "box: " + box.text).value_or(Answer::Cancel);
        record("box: " + box.text);
        return Answer::Ok;
    }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override {
        return next(files, "file dialog").value_or(std::nullopt);
    }
    bool canChooseFiles() const override { return canChoose; }
    bool runPaperSizeDialog(PaperSizeDialog& d) override { return run(paperDialogs, d, "paper dialog"); }
    bool runIndexOptionsDialog(IndexOptionsDialog& d) override { return run(indexDialogs, d, "index dialog"); }
    void runSettingsDialog(SettingsDialog& d) override { run(settingsDialogs, d, "settings dialog"); }
    bool openWith(const std::string& program, const Texts& parameters, const std::string& directory) override {
        return shellOpen({program, parameters, directory});
    }
    bool openInViewer(const std::string& file, const std::string& directory) override {
        return shellOpen({file, std::nullopt, directory});
    }
    void setWaitCursor(bool on) override { waitCursor = on; }
    void repaint() override {}
    void historyChanged() override {}
    void focusHistory() override { record("focus history"); }

private:
    void record(const std::string& event) { events.push_back(event); }
    bool shellOpen(DesktopOpen open) {
        shellOpens.push_back(open);
        if (!shellResults.empty()) return *next(shellResults, "shell open: " + open.file);
        record("shell open: " + open.file);
        return true;
    }
    // The next entry of a script, or a failure of the test when there is none.
    template <typename T>
    std::optional<T> next(std::deque<T>& script, const std::string& event) {
        record(event);
        if (script.empty()) {
            ADD_FAILURE() << "unexpected " << event;
            return std::nullopt;
        }
        T entry = std::move(script.front());
        script.pop_front();
        return entry;
    }
    template <typename Dialog>
    bool run(std::deque<std::function<bool(Dialog&)>>& script, Dialog& dialog, const std::string& event) {
        auto user = next(script, event);
        return user && (*user)(dialog);
    }
};

// The whole seam in memory, under the Windows or the Linux rules.
struct FakeBar {
    explicit FakeBar(PlatformRules rulesIn, std::optional<std::string> settingsPath = std::nullopt, bool settingsPathTooLong = false)
        : rules(rulesIn),
          settings(profile, settingsPath.value_or(rules.isWindows() ? "C:\\start\\Kestro.ini" : "/start/Kestro.ini"), settingsPathTooLong) {
        files.addDirectory(start);
        files.setCurrentDirectory(start);
        files.directoryChanges.clear();
    }
    // The stored value, or "<absent>"; the whole file.
    std::string setting(const std::string& section, const std::string& key) {
        return iniLookup(rules.codePage, settingsText(), section, key).value_or("<absent>");
    }
    std::string settingsText() { return store.read(settings.path()).value_or(""); }

    PlatformRules rules;
    std::string start = rules.isWindows() ? "C:\\start\\" : "/start/";
    MemoryTextFileStore store;
    IniProfile profile{store, rules.codePage};
    SettingsFile settings;
    MemoryFileSystem files;
    FakeProcesses processes;
    ScriptedUi ui;
    Services services{rules, settings, files, processes, ui, ui, "Kestro", &ui};
};

// A document beside a scripted TeX installation in memory, under the Windows
// or the Linux rules: the compiler plays queued runs.
struct CompilerRun {
    std::string log = "This is a TeX run.\n";
    std::optional<std::string> aux = std::string(), toc;  // written when given
    bool dvi = true, idx = false;                         // fresh files written
    ProcessEnd end{0, 0};

    CompilerRun& withLog(std::string text) { log = std::move(text); return *this; }
    CompilerRun& withAux(std::string text) { aux = std::move(text); return *this; }
    CompilerRun& noAux() { aux.reset(); return *this; }
    CompilerRun& withToc(std::string text) { toc = std::move(text); return *this; }
    CompilerRun& noDvi() { dvi = false; return *this; }
    CompilerRun& withIdx() { idx = true; return *this; }
    CompilerRun& exitWith(int code) { end.exitCode = code; return *this; }
    CompilerRun& killedBy(int signal) { end = ProcessEnd{128 + signal, signal}; return *this; }
};

struct TexWorld {
    explicit TexWorld(bool onWindows) : windows(onWindows), bar(windows ? PlatformRules::windows() : PlatformRules::posix()) {
        bar.files.addDirectory(docDir);
        bar.processes.setEnvironment("PATH", toolDir.substr(0, toolDir.size() - 1));
        for (const std::string& dir : searchDirs) bar.files.addDirectory(dir);
        installCompiler(tool("platex"));
    }
    TexWorld(const TexWorld&) = delete;  // the tools hold `this`

    // The file the lookup finds for a bare name, and the candidate of the
    // fixed directory `index`.
    std::string tool(const std::string& name) const { return toolDir + name + (windows ? ".exe" : ""); }
    std::string candidate(const std::string& name, std::size_t index = 0) const {
        return searchDirs.at(index) + name + (windows ? ".exe" : "");
    }
    std::string beside(const std::string& extension) const { return docDir + state.documentStem + extension; }

    void installCompiler(const std::string& path) {
        bar.processes.install(path, [this](const ProcessRequest&) { return playRun(); });
    }
    void queue(CompilerRun run) { runs.push_back(std::move(run)); }
    // A tool that ends with `code`, writing `extension` beside the document when given.
    void installTool(const std::string& path, int code, const char* extension = nullptr) {
        bar.processes.installExiting(path, code, [this, extension] {
            if (extension) bar.files.write(beside(extension), "written");
        });
    }
    ProcessEnd playRun() {
        if (runs.empty()) {
            ADD_FAILURE() << "the compiler ran more often than scripted";
            return ProcessEnd{0, 0};
        }
        const CompilerRun run = runs.front();
        runs.pop_front();
        bar.files.write(beside(".log"), run.log);
        for (const auto& [file, text] : {std::pair{".aux", run.aux}, {".toc", run.toc},
                                         {".dvi", run.dvi ? std::optional<std::string>("dvi") : std::nullopt},
                                         {".idx", run.idx ? std::optional<std::string>("idx") : std::nullopt}}) {
            if (text) bar.files.write(beside(file), *text);
        }
        return run.end;
    }
    // The first word of every started command line: which tools ran, in order.
    std::vector<std::string> programsRun() const {
        std::vector<std::string> programs;
        for (const ProcessRequest& request : bar.processes.started()) programs.push_back(request.arguments.at(0));
        return programs;
    }

    bool windows;
    std::string bibtex = windows ? "jbibtex" : "pbibtex";
    std::string docDir = windows ? "C:\\work\\" : "/home/user/work/";
    std::string toolDir = windows ? "C:\\texlive\\bin\\" : "/opt/texlive/bin/";
    std::vector<std::string> searchDirs =
        windows ? std::vector<std::string>{"c:\\w32tex\\bin\\", "c:\\tex\\bin\\", "c:\\usr\\local\\bin\\"}
                : std::vector<std::string>{"/usr/local/texlive/2024/bin/x86_64-linux/", "/opt/texlive/2023/bin/x86_64-linux/",
                                           "/usr/bin/"};
    FakeBar bar;
    BarState state{.documentPath = docDir + "paper.tex", .documentStem = "paper", .documentDir = docDir,
                   .texCommand = "platex", .bibtexCommand = bibtex, .dvipdfCommand = "dvipdfmx", .indexCommand = "mendex",
                   .indexOptions = "-s myindex", .indexDialogNever = 1};
    std::deque<CompilerRun> runs;
};

// A test that runs under both rules.
struct TexTest : ::testing::TestWithParam<bool>, TexWorld {
    TexTest() : TexWorld(GetParam()) {}
};

inline std::string rulesName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Windows" : "Linux"; }

}  // namespace kestro::fake

// A document beside a scripted TeX installation, in memory, under the
// Windows or the Linux rules: the compiler plays queued runs, each leaving
// its files beside the document.
#pragma once

#include <gtest/gtest.h>

#include <deque>

#include "FakePlatform.h"

namespace kestro::fake {

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
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentPath = docDir + "paper.tex";
        state.texCommand = "platex";
        state.bibtexCommand = bibtex;
        state.indexCommand = "mendex";
        state.dvipdfCommand = "dvipdfmx";
        state.indexOptions = "-s myindex";
        state.indexDialogNever = 1;
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
    BarState state;
    std::deque<CompilerRun> runs;
};

// A test that runs under both rules.
struct TexTest : ::testing::TestWithParam<bool>, TexWorld {
    TexTest() : TexWorld(GetParam()) {}
};

inline std::string rulesName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Windows" : "Linux"; }

}  // namespace kestro::fake

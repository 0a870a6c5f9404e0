// A document beside a scripted TeX installation, in memory, under the
// Windows or the Linux rules: the compiler plays queued runs, each leaving
// its files beside the document.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "FakePlatform.h"

namespace kestro::fake {

struct CompilerRun {
    std::string log = "This is a TeX run.\n";
    std::optional<std::string> aux = std::string();  // written when given
    std::optional<std::string> toc;                  // written when given
    bool dvi = true;                                 // writes a fresh DVI file
    bool idx = false;                                // writes a fresh index file
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
    explicit TexWorld(bool onWindows)
        : windows(onWindows), bar(onWindows ? PlatformRules::windows() : PlatformRules::posix()) {
        docDir = windows ? "C:\\work\\" : "/home/user/work/";
        toolDir = windows ? "C:\\texlive\\bin\\" : "/opt/texlive/bin/";
        bar.files.addDirectory(docDir);
        bar.processes.setEnvironment("PATH", toolDir.substr(0, toolDir.size() - 1));
        searchDirs = windows ? std::vector<std::string>{"c:\\w32tex\\bin\\", "c:\\tex\\bin\\", "c:\\usr\\local\\bin\\"}
                             : std::vector<std::string>{"/usr/local/texlive/2024/bin/x86_64-linux/",
                                                        "/opt/texlive/2023/bin/x86_64-linux/", "/usr/bin/"};
        for (const std::string& dir : searchDirs) bar.files.addDirectory(dir);
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentExt = ".tex";
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
    // directory search's directory `index`.
    std::string tool(const std::string& name) const { return toolDir + name + (windows ? ".exe" : ""); }
    std::string candidate(const std::string& name, std::size_t index = 0) const {
        return searchDirs.at(index) + name + (windows ? ".exe" : "");
    }
    std::string beside(const std::string& extension) const { return docDir + state.documentStem + extension; }

    void installCompiler(const std::string& path) {
        bar.processes.install(path, [this](const ProcessRequest&) { return playRun(); });
    }
    void queue(CompilerRun run) { runs.push_back(std::move(run)); }
    // A tool that ends with `code`, writing `file` beside the document when given.
    void installTool(const std::string& path, int code, const char* file = nullptr) {
        std::string written = file ? beside(file) : std::string();
        bar.processes.installExiting(path, code, [this, written] {
            if (!written.empty()) bar.files.write(written, "written");
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
        if (run.aux) bar.files.write(beside(".aux"), *run.aux);
        if (run.toc) bar.files.write(beside(".toc"), *run.toc);
        if (run.dvi) bar.files.write(beside(".dvi"), "dvi");
        if (run.idx) bar.files.write(beside(".idx"), "idx");
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
    std::string docDir;
    std::string toolDir;
    std::vector<std::string> searchDirs;
    FakeBar bar;
    BarState state;
    std::deque<CompilerRun> runs;
};

// A test that runs under both rules.
class TexTest : public ::testing::TestWithParam<bool>, public TexWorld {
protected:
    TexTest() : TexWorld(GetParam()) {}
};

inline std::string rulesName(const ::testing::TestParamInfo<bool>& info) { return info.param ? "Windows" : "Linux"; }

}  // namespace kestro::fake

// A document beside a scripted TeX installation, for the tests of the
// compile and its tool steps. Each test runs under the Windows rules and
// under the Linux rules.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "FakePlatform.h"
#include "app/BarState.h"
#include "settings/SettingsKeys.h"

namespace kestro::testing {

// What one compiler run leaves beside the document.
struct CompilerRun {
    std::string log = "This is a TeX run.\n";
    std::optional<std::string> aux = std::string();  // written when given
    std::optional<std::string> toc;                  // written when given
    bool dvi = true;                                 // writes a fresh DVI file
    bool idx = false;                                // writes a fresh index file
    int exitCode = 0;
    int signal = 0;  // a signal ended the run (exitCode is then 128 + it)

    CompilerRun& withLog(std::string text) { log = std::move(text); return *this; }
    CompilerRun& withAux(std::string text) { aux = std::move(text); return *this; }
    CompilerRun& noAux() { aux.reset(); return *this; }
    CompilerRun& withToc(std::string text) { toc = std::move(text); return *this; }
    CompilerRun& noDvi() { dvi = false; return *this; }
    CompilerRun& withIdx() { idx = true; return *this; }
    CompilerRun& exitWith(int code) { exitCode = code; return *this; }
    CompilerRun& killedBy(int number) { exitCode = 128 + number; signal = number; return *this; }
};

// One document and its tools; a table test builds a fresh one per row.
struct PipelineWorld {
    explicit PipelineWorld(bool onWindows)
        : windows(onWindows), bar(onWindows ? PlatformRules::windows() : PlatformRules::posix()) {
        docDir = windows ? "C:\\work\\" : "/home/user/work/";
        toolDir = windows ? "C:\\texlive\\bin\\" : "/opt/texlive/bin/";
        bar.files.addDirectory(docDir);
        bar.processes.setEnvironment("PATH", windows ? "C:\\texlive\\bin" : "/opt/texlive/bin");
        if (windows) {
            searchDirs = {"c:\\w32tex\\bin\\", "c:\\tex\\bin\\", "c:\\usr\\local\\bin\\"};
        } else {
            searchDirs = {"/usr/local/texlive/2024/bin/x86_64-linux/", "/opt/texlive/2023/bin/x86_64-linux/",
                          "/usr/bin/"};
            for (const std::string& dir : searchDirs) bar.files.addDirectory(dir);
        }
        state.documentStem = "paper";
        state.documentDir = docDir;
        state.documentExt = ".tex";
        state.documentPath = docDir + "paper.tex";
        state.texCommand = "platex";
        state.bibtexCommand = bar.rules.defaultBibtexCommand();
        state.indexCommand = "mendex";
        state.dvipdfCommand = "dvipdfmx";
        state.indexOptions = "-s myindex";
        state.indexDialogNever = 1;
    }

    // The candidate of the directory search's directory `index` for a tool.
    std::string candidate(const std::string& name, std::size_t index = 0) const {
        return searchDirs.at(index) + name + (windows ? ".exe" : "");
    }
    // The file the lookup finds for a bare tool name.
    std::string toolPath(const std::string& name) const { return toolDir + name + (windows ? ".exe" : ""); }
    std::string beside(const std::string& extension) const { return docDir + state.documentStem + extension; }
    const std::string& bibtexName() const { return japaneseBibtex; }

    // Installs the compiler under its bare name, playing the queued runs.
    void installCompiler(const std::string& name = "platex") { installCompilerAt(toolPath(name)); }
    void installCompilerAt(const std::string& path) {
        bar.processes.installEnding(path, [this](const ProcessRequest&) { return playCompilerRun(); });
    }
    void queueRun(CompilerRun run) { compilerRuns.push_back(std::move(run)); }

    // A tool that ends with `code` and, when it succeeds, writes `file`.
    void installTool(const std::string& path, int code, std::optional<std::string> file = std::nullopt) {
        bar.processes.install(path, [this, code, file](const ProcessRequest&) {
            if (file) bar.files.write(*file, "written");
            return code;
        });
    }

    ProcessEnd playCompilerRun() {
        if (compilerRuns.empty()) {
            ADD_FAILURE() << "the compiler ran more often than scripted";
            return ProcessEnd{0, 0};
        }
        CompilerRun run = compilerRuns.front();
        compilerRuns.pop_front();
        bar.files.write(beside(".log"), run.log);
        if (run.aux) bar.files.write(beside(".aux"), *run.aux);
        if (run.toc) bar.files.write(beside(".toc"), *run.toc);
        if (run.dvi) bar.files.write(beside(".dvi"), "dvi");
        if (run.idx) bar.files.write(beside(".idx"), "idx");
        return ProcessEnd{run.exitCode, run.signal};
    }

    // The first word of every started command line: which tools ran, in order.
    std::vector<std::string> programsRun() const {
        std::vector<std::string> programs;
        for (const ProcessRequest& request : bar.processes.started()) programs.push_back(request.arguments.at(0));
        return programs;
    }
    int compilerRunCount(const std::string& program = "platex") const {
        int count = 0;
        for (const std::string& p : programsRun()) count += p == program ? 1 : 0;
        return count;
    }

    bool windows = false;
    std::string docDir;
    std::string toolDir;
    std::vector<std::string> searchDirs;  // what the directory search tries
    FakeBar bar;
    BarState state;
    std::deque<CompilerRun> compilerRuns;
    std::string japaneseBibtex = windows ? "jbibtex" : "pbibtex";

    PipelineWorld(const PipelineWorld&) = delete;  // the tools hold `this`
    PipelineWorld& operator=(const PipelineWorld&) = delete;
};

class PipelineTest : public ::testing::TestWithParam<bool>, public PipelineWorld {
protected:
    PipelineTest() : PipelineWorld(GetParam()) {}
};

inline std::string rulesName(const ::testing::TestParamInfo<bool>& info) {
    return info.param ? "Windows" : "Linux";
}

}  // namespace kestro::testing

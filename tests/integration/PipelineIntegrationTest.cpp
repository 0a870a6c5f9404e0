// The compile with the real tools: platex, pbibtex and mendex, on Japanese
// documents, each in a fresh directory. Every tool gets an empty standard
// input, so a TeX error stops the run instead of waiting for an answer.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>

#include <sstream>

#include "PosixFileSystem.h"
#include "PosixProcesses.h"
#include "PosixTestScripts.h"
#include "PosixTextFileStore.h"
#include "ScriptedUi.h"
#include "build/CompileDocument.h"
#include "pdf/PdfOutput.h"
#include "settings/IniProfile.h"
#include "settings/SettingsFile.h"

namespace kestro {
namespace {

using namespace posixtest;
using testing::ScriptedUi;

// The directory along PATH that holds `program`, or nothing.
std::optional<std::string> findOnPath(const std::string& program) {
    const char* path = ::getenv("PATH");
    std::istringstream entries(path ? path : "");
    for (std::string entry; std::getline(entries, entry, ':');) {
        if (entry.empty()) continue;
        const std::string candidate = entry + "/" + program;
        if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    }
    return std::nullopt;
}

class RealTex : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* tool : {"platex", "pbibtex", "mendex"}) {
            std::optional<std::string> real = findOnPath(tool);
            if (!real) GTEST_SKIP() << tool << " is not on PATH";
            // A wrapper that notes the run and hands over to the real tool.
            writeScript(scratch / "wrap/" + tool,
                        std::string("echo ") + tool + " >> '" + (scratch / "runs.txt") + "'\nexec '" + *real +
                            "' \"$@\"");
        }
        path.emplace("PATH", (scratch / "wrap") + ":" + ::getenv("PATH"));
        state.texCommand = "platex";
        state.bibtexCommand = "pbibtex";
        state.indexCommand = "mendex";
        state.indexOptions = "";
        state.indexDialogNever = 1;
    }

    RealTex() { fs::create_directories(scratch / "wrap"); }

    // Copies the document (and the bibliography database) into a fresh
    // directory under the name `stem`.tex and makes it the current one.
    void useDocument(const std::string& source, const std::string& stem) {
        const std::string dir = scratch / "doc";
        fs::create_directories(dir);
        const std::string documents = KESTRO_INTEGRATION_DOCUMENTS;
        fs::copy_file(documents + "/" + source, dir + "/" + stem + ".tex");
        fs::copy_file(documents + "/refs.bib", dir + "/refs.bib");
        state.documentStem = stem;
        state.documentDir = dir + "/";
        state.documentExt = ".tex";
        state.documentPath = state.documentDir + stem + ".tex";
    }
    std::string beside(const std::string& extension) const {
        return state.documentDir + state.documentStem + extension;
    }
    std::vector<std::string> runs() const {
        std::vector<std::string> lines;
        std::istringstream in(readFile(scratch / "runs.txt").value_or(""));
        for (std::string line; std::getline(in, line);) lines.push_back(line);
        return lines;
    }
    std::string finalLog() const { return readFile(beside(".log")).value_or("<no log>"); }
    int compile() { return compileDocument(state, services); }

    CurrentDirectoryGuard cwdGuard;
    ScratchDirectory scratch;
    std::optional<EnvironmentGuard> path;
    PosixTextFileStore store;
    IniProfile profile{store};
    SettingsFile settings{profile, scratch / "Kestro.ini"};
    PosixFileSystem files;
    PosixProcesses processes{StdinMode::Empty};
    ScriptedUi ui;
    Services services{PlatformRules::posix(), settings, files, processes, ui, "Kestro"};
    BarState state;
};

using Runs = std::vector<std::string>;

void expectResolved(const std::string& log) {
    // No undefined reference or citation and no request to run again: the
    // final log holds no LaTeX warning at all (font notes may remain).
    EXPECT_EQ(log.find("LaTeX Warning"), std::string::npos) << log;
    EXPECT_EQ(log.find("Rerun"), std::string::npos) << log;
    EXPECT_NE(log.find("Output written"), std::string::npos) << log;
}

TEST_F(RealTex, TableOfContentsAndCrossReferencesSettle) {
    useDocument("toc.tex", "paper");
    EXPECT_EQ(compile(), 1);
    // The first run reports changed labels and writes a new toc: run B,
    // which leaves the toc as it was.
    EXPECT_EQ(runs(), (Runs{"platex", "platex"}));
    expectResolved(finalLog());
    EXPECT_TRUE(fs::exists(beside(".toc")));
    EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(RealTex, BibliographyIsBuiltAndCited) {
    useDocument("bib.tex", "paper");
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(runs(), (Runs{"platex", "pbibtex", "platex", "platex"}));
    expectResolved(finalLog());
    ASSERT_TRUE(fs::exists(beside(".bbl")));
    EXPECT_NE(readFile(beside(".bbl"))->find("奥村晴彦"), std::string::npos);
    EXPECT_TRUE(ui.boxes().empty());
}

TEST_F(RealTex, IndexAfterTheOptionsDialog) {
    useDocument("index.tex", "paper");
    state.indexDialogNever = 0;
    ui.answerIndexDialog([](IndexOptionsDialog& dialog) {
        dialog.accept("", true);
        return true;
    });
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(runs(), (Runs{"platex", "mendex", "platex"}));
    ASSERT_TRUE(fs::exists(beside(".ind")));
    EXPECT_NE(readFile(beside(".ind"))->find("索引"), std::string::npos);
    EXPECT_EQ(state.indexDialogNever, 1);
    EXPECT_EQ(settings.readSettingInt("Settings", "MkIdxNvr", 0), 1);
    expectResolved(finalLog());

    // The next compile's first run rewrites the index file, so the index is
    // made again, now without the dialog.
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(ui.indexDialogsShown(), 1);
}

TEST_F(RealTex, EverythingInAJapaneseNamedDocument) {
    useDocument("all.tex", "論文");
    EXPECT_EQ(compile(), 1);
    const Runs seen = runs();
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ((Runs{seen.begin(), seen.begin() + 5}), (Runs{"platex", "pbibtex", "platex", "mendex", "platex"}));
    // At most two closing runs follow.
    EXPECT_LE(seen.size(), 7u);
    for (std::size_t i = 5; i < seen.size(); ++i) EXPECT_EQ(seen[i], "platex");
    expectResolved(finalLog());
    EXPECT_TRUE(fs::exists(beside(".bbl")));
    EXPECT_TRUE(fs::exists(beside(".ind")));
    EXPECT_TRUE(fs::exists(beside(".dvi")));
    EXPECT_TRUE(ui.boxes().empty());
}

// The first run of a document with hyperref asks in hyperref's own words
// for the run that writes the PDF's outline.
TEST_F(RealTex, HyperrefOutlinesSettle) {
    for (const char* tool : {"dvipdfmx", "qpdf"}) {
        if (!findOnPath(tool)) GTEST_SKIP() << tool << " is not on PATH";
    }
    useDocument("hyperref.tex", "paper");
    EXPECT_EQ(compile(), 1);
    EXPECT_EQ(runs(), (Runs{"platex", "platex"}));
    EXPECT_EQ(finalLog().find("Warning:"), std::string::npos) << finalLog();
    state.dvipdfCommand = "dvipdfmx";
    state.paperSizeSticky = 1;
    ASSERT_EQ(convertDviToPdf(state, services), 1);
    // The outline sits in a compressed object stream: qpdf reads it.
    const std::string json = scratch / "outlines.json";
    ASSERT_EQ(std::system(("qpdf --json --json-key=outlines '" + beside(".pdf") + "' > '" + json + "'").c_str()), 0);
    EXPECT_NE(readFile(json).value_or("").find("\"title\": \"Introduction\""), std::string::npos)
        << readFile(json).value_or("");
}

TEST_F(RealTex, ErrorStopsTheCompilerWithoutWaiting) {
    useDocument("error.tex", "paper");
    EXPECT_EQ(compile(), 0);
    EXPECT_EQ(runs(), (Runs{"platex"}));
    EXPECT_NE(finalLog().find("Undefined control sequence"), std::string::npos);
    EXPECT_FALSE(fs::exists(beside(".dvi")));
    EXPECT_TRUE(ui.boxes().empty());
}

}  // namespace
}  // namespace kestro

// Shell scripts standing in for the TeX tools, in a bin directory of a
// scratch directory. Every tool appends a line to a record file; the
// compiler counts its runs and lets a test add what run n does.
#pragma once

#include <string>
#include <vector>

#include "FaultSupport.h"

namespace kestro::faults {

class FakeTexTools {
public:
    explicit FakeTexTools(const ScratchDirectory& scratch)
        : bin_(scratch / "bin"), record_(scratch / "record.txt"), count_(scratch / "count.txt") {
        fs::create_directories(bin_);
        compiler("");
        writeTool(bibtex(), recordLine(record_) + "printf 'bbl' > \"$1.bbl\"\nexit 0");
        writeTool(indexTool(), recordLine(record_) + "for last in \"$@\"; do :; done\nprintf 'ind' > \"$last.ind\"\nexit 0");
        writeTool(converter(), recordLine(record_) + "for last in \"$@\"; do :; done\nprintf 'pdf' > \"$last.pdf\"\nexit 0");
    }

    // The compiler writes the DVI, an aux file and a clean log on every run;
    // `runs` is a shell snippet run after that with $n the run number, for
    // instance a case statement that writes another log on run 1.
    void compiler(const std::string& runs) {
        writeTool(compilerPath(),
                  recordLine(record_) + "n=$(cat '" + count_ + "' 2>/dev/null || echo 0); n=$((n+1)); echo $n > '" +
                      count_ + "'\n"
                      "printf 'dvi' > \"$1.dvi\"\n"
                      "printf '\\\\relax\\n' > \"$1.aux\"\n"
                      "printf 'This is a fake pLaTeX.\\n' > \"$1.log\"\n" +
                      runs + "\nexit 0");
    }

    std::string compilerPath() const { return bin_ + "/platex"; }
    std::string bibtex() const { return bin_ + "/pbibtex"; }
    std::string indexTool() const { return bin_ + "/mendex"; }
    std::string converter() const { return bin_ + "/dvipdfmx"; }

    // The settings that make a bar use these tools and skip the dialogs.
    std::string settingsText() const {
        return "[Settings]\r\nTeX=" + compilerPath() + "\r\nBib=" + bibtex() + "\r\nMkIdx=" + indexTool() +
               "\r\nDviPdf=" + converter() + "\r\nMkIdxOpt=-s myindex\r\nMkIdxNvr=1\r\nPdfNeShow=1\r\nPdfSizeNo=1\r\nAcr=1\r\n";
    }
    void useIn(BarState& state) const {
        state.texCommand = compilerPath();
        state.bibtexCommand = bibtex();
        state.indexCommand = indexTool();
        state.dvipdfCommand = converter();
        state.indexOptions = "-s myindex";
        state.indexDialogNever = 1;
        state.paperSizeSticky = 1;
        state.paperSizeNo = 1;
        state.acrSetting = 1;
    }

    std::vector<std::string> recorded() const { return recordedLines(record_); }
    // The record line of a run: "name [arg] [arg] @directory".
    static std::string ran(const std::string& tool, const std::string& arguments, const std::string& directory) {
        std::string dir = directory;
        if (dir.size() > 1 && dir.back() == '/') dir.pop_back();
        return tool + " " + arguments + " @" + dir;
    }

private:
    std::string bin_;
    std::string record_;
    std::string count_;
};

}  // namespace kestro::faults

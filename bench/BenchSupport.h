// A realistic Kestro.ini, a scratch directory and a user who never answers,
// for the benchmarks of the settings file and the bar's start-up.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "seam/UserInterface.h"

namespace kestro::bench {

// What a bar that has been in use for a while keeps: every tool set to a
// full path, the index options, the paper size and sixteen documents.
inline std::string realisticSettings() {
    std::string text =
        "[Settings]\r\n"
        "PdfNShow=0\r\n"
        "PdfNeShow=0\r\n"
        "PdfSizeNo=1\r\n"
        "TeX=/usr/local/texlive/2024/bin/x86_64-linux/platex\r\n"
        "Bib=/usr/local/texlive/2024/bin/x86_64-linux/pbibtex\r\n"
        "DviPdf=/usr/local/texlive/2024/bin/x86_64-linux/dvipdfmx\r\n"
        "MkIdx=/usr/local/texlive/2024/bin/x86_64-linux/mendex\r\n"
        "MkIdxOpt=-s myindex -r\r\n"
        "MkIdxNvr=1\r\n"
        "Acr=1\r\n"
        "[Editor]\r\n"
        "EDIT=xdg-open\r\n"
        "[RFL]\r\n";
    for (int i = 0; i < 16; ++i) {
        text += "File" + std::to_string(i) + "=/home/hanako/文書/論文 " + std::to_string(2010 + i) +
                "/第" + std::to_string(i + 1) + "章 表示と能力.tex\r\n";
    }
    return text;
}

class ScratchDirectory {
public:
    ScratchDirectory() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kestro-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~ScratchDirectory() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& content) {
    std::ofstream(path, std::ios::binary) << content;
}

// The start-up shows nothing, so every answer here is Cancel.
class SilentUi : public UserInterface {
public:
    Answer showMessage(const MessageBoxRequest&) override { return Answer::Cancel; }
    std::optional<std::string> chooseFile(const FileDialogRequest&) override { return std::nullopt; }
    bool runPaperSizeDialog(PaperSizeDialog&) override { return false; }
    bool runIndexOptionsDialog(IndexOptionsDialog&) override { return false; }
    void runSettingsDialog(SettingsDialog&) override {}
};

}  // namespace kestro::bench

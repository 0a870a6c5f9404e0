// The user interface of kestro-build: message boxes on standard error,
// questions answered by --yes/--no or on the terminal, file dialogs typed
// on the terminal, the dialogs confirmed with the command line's values;
// and its desktop, the Linux one without the viewer under --no-view.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "CliOptions.h"
#include "PosixDesktop.h"
#include "Terminal.h"
#include "seam/UserInterface.h"

namespace kestro::cli {

class TerminalUi : public UserInterface {
public:
    // `terminal` may be null (no terminal).
    TerminalUi(const CliOptions& options, std::ostream& messages, Terminal* terminal);

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool canChooseFiles() const override { return terminal_ != nullptr; }
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;

private:
    void say(const std::string& caption, const std::string& text);

    const CliOptions& options_;
    std::ostream& messages_;
    Terminal* terminal_;
};

class TerminalDesktop : public PosixDesktop {
public:
    TerminalDesktop(const CliOptions& options, PosixProcesses& processes) : PosixDesktop(processes), options_(options) {}

    // With --no-view the PDF is not shown, which counts as handed over.
    bool openInViewer(const std::string& file, const std::string& directory) override {
        return options_.noView || PosixDesktop::openInViewer(file, directory);
    }

private:
    const CliOptions& options_;
};

}  // namespace kestro::cli

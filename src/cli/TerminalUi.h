// The user interface of kestro-build: message boxes on standard error,
// questions answered by --yes/--no or on the terminal, file dialogs typed
// on the terminal, the dialogs confirmed with the command line's values.
#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>

#include "CliOptions.h"
#include "Terminal.h"
#include "seam/UserInterface.h"

namespace kestro::cli {

class TerminalUi : public UserInterface {
public:
    using Opener = std::function<int(const ShellOpenRequest&)>;

    // `terminal` may be null (no terminal); `opener` hands files to the
    // desktop (not called for the PDF with --no-view, which counts as handed
    // over).
    TerminalUi(const CliOptions& options, std::ostream& messages, Terminal* terminal, Opener opener);

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool canChooseFiles() const override { return terminal_ != nullptr; }
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    int shellOpen(const ShellOpenRequest& request) override;
    void setWaitCursor(bool) override {}
    void invalidate() override {}
    void historyChanged() override {}
    void focusHistory() override {}

private:
    void say(const std::string& caption, const std::string& text);

    const CliOptions& options_;
    std::ostream& messages_;
    Terminal* terminal_;
    Opener opener_;
};

}  // namespace kestro::cli

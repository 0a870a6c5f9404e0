// A scripted user for the core: records every message box and dialog, and
// answers each question from a script written by the test. A question the
// script did not expect fails the test and is answered Cancel.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogs/IndexOptionsDialog.h"
#include "dialogs/PaperSizeDialog.h"
#include "dialogs/SettingsDialog.h"
#include "seam/UserInterface.h"

namespace kestro::fake {

class ScriptedUi : public UserInterface {
public:
    ~ScriptedUi() override;

    // The script, consumed in order within each kind. OK-only boxes need no
    // answer; a file dialog answered with nothing is cancelled; a dialog's
    // function plays the user on the model and returns true for OK.
    std::deque<Answer> answers;
    std::deque<std::optional<std::string>> files;
    std::deque<std::function<bool(PaperSizeDialog&)>> paperDialogs;
    std::deque<std::function<bool(IndexOptionsDialog&)>> indexDialogs;
    std::deque<std::function<void(SettingsDialog&)>> settingsDialogs;
    std::deque<int> shellResults;  // 42 when none is scripted
    bool canChoose = true;
    // Called when a box is shown, before it is answered.
    std::function<void(const MessageBoxRequest&)> onMessage;

    // What happened: every event in order ("box: <text>", "file dialog",
    // "paper dialog", "index dialog", "settings dialog", "shell open: <file>",
    // "invalidate", "focus history"), and the requests themselves.
    std::vector<std::string> events;
    std::vector<MessageBoxRequest> boxes;
    std::vector<FileDialogRequest> fileRequests;
    std::vector<ShellOpenRequest> shellOpens;
    bool waitCursor = false;
    int count(const std::string& event) const;
    std::vector<std::string> boxTexts() const;

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool canChooseFiles() const override { return canChoose; }
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    int shellOpen(const ShellOpenRequest& request) override;
    void setWaitCursor(bool on) override { waitCursor = on; }
    void invalidate() override { events.push_back("invalidate"); }
    void historyChanged() override {}
    void focusHistory() override { events.push_back("focus history"); }
};

}  // namespace kestro::fake

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

namespace kestro::testing {

class ScriptedUi : public UserInterface {
public:
    ~ScriptedUi() override;

    // --- the script, consumed in order within each kind ---
    // The next OK/Cancel question is answered so. OK-only boxes need no
    // script entry; they are recorded.
    void answerQuestion(Answer answer);
    // The next file dialog returns this path (nothing: Cancel).
    void answerFileDialog(std::optional<std::string> path);
    // The next paper size dialog: the function plays the user on the model
    // and returns true for OK.
    void answerPaperDialog(std::function<bool(PaperSizeDialog&)> user);
    void answerIndexDialog(std::function<bool(IndexOptionsDialog&)> user);
    void answerSettingsDialog(std::function<void(SettingsDialog&)> user);
    // The next shell open returns this value (default when unscripted: 42).
    void answerShellOpen(int result);
    // A front end that cannot show file dialogs (an unattended console run).
    void setCanChooseFiles(bool can) { canChooseFiles_ = can; }

    // --- what happened ---
    const std::vector<MessageBoxRequest>& boxes() const { return boxes_; }
    std::vector<std::string> boxTexts() const;
    const std::vector<FileDialogRequest>& fileDialogs() const { return fileDialogs_; }
    const std::vector<ShellOpenRequest>& shellOpens() const { return shellOpens_; }
    int paperDialogsShown() const { return paperDialogs_; }
    int indexDialogsShown() const { return indexDialogs_; }
    int settingsDialogsShown() const { return settingsDialogs_; }
    int invalidations() const { return invalidations_; }
    int historyChanges() const { return historyChanges_; }
    int historyFocusRequests() const { return focusRequests_; }
    bool waitCursorOn() const { return waitCursor_; }
    int waitCursorSwitches() const { return waitCursorSwitches_; }
    // Every event in order, as one line each ("box: ...", "file dialog",
    // "paper dialog", "shell open ...", ...), for tests of ordering.
    const std::vector<std::string>& events() const { return events_; }

    // Called when a box is shown, before it is answered (tests use it to
    // look at the state at that moment).
    std::function<void(const MessageBoxRequest&)> onMessage;

    // UserInterface
    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    int shellOpen(const ShellOpenRequest& request) override;
    void setWaitCursor(bool on) override;
    void invalidate() override { ++invalidations_; }
    void historyChanged() override { ++historyChanges_; }
    void focusHistory() override { ++focusRequests_; }
    bool canChooseFiles() const override { return canChooseFiles_; }

private:
    std::deque<Answer> questions_;
    std::deque<std::optional<std::string>> files_;
    std::deque<std::function<bool(PaperSizeDialog&)>> paperUsers_;
    std::deque<std::function<bool(IndexOptionsDialog&)>> indexUsers_;
    std::deque<std::function<void(SettingsDialog&)>> settingsUsers_;
    std::deque<int> shellResults_;

    std::vector<MessageBoxRequest> boxes_;
    std::vector<FileDialogRequest> fileDialogs_;
    std::vector<ShellOpenRequest> shellOpens_;
    std::vector<std::string> events_;
    int paperDialogs_ = 0;
    int indexDialogs_ = 0;
    int settingsDialogs_ = 0;
    int invalidations_ = 0;
    int historyChanges_ = 0;
    int focusRequests_ = 0;
    bool waitCursor_ = false;
    bool canChooseFiles_ = true;
    int waitCursorSwitches_ = 0;
};

}  // namespace kestro::testing

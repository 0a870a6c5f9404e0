// Message boxes, file dialogs, the modal dialogs, the shell and the wait
// cursor, for the bar window.
#pragma once

#include <functional>
#include <string>

#include "Win32Api.h"
#include "seam/UserInterface.h"

namespace kestro {

class Win32UserInterface : public UserInterface {
public:
    // Dialog templates and strings are loaded from `resources`.
    explicit Win32UserInterface(HINSTANCE resources) : resources_(resources) {}

    // The bar's window, owner of the bar's message box and of the shell's
    // windows, and the view that shows the history; a null window detaches.
    void attachBar(HWND bar, std::function<void()> showHistory);
    HWND bar() const { return bar_; }
    HINSTANCE resources() const { return resources_; }

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    int shellOpen(const ShellOpenRequest& request) override;
    void setWaitCursor(bool on) override;
    void invalidate() override;
    void historyChanged() override;
    void focusHistory() override;

private:
    // The window the application's boxes and dialogs are modal to: the
    // active window of this thread (the settings panel, say), else the bar.
    HWND activeOwner() const;

    HINSTANCE resources_;
    HWND bar_ = nullptr;
    std::function<void()> showHistory_;
    HCURSOR cursorBeforeWait_ = nullptr;
    int waitDepth_ = 0;
};

// The MessageBoxA style for a box.
UINT messageBoxStyle(const MessageBoxRequest& box);

// A '|'-separated filter ("TeX file (*.tex)|*.tex||") in the form the file
// dialog takes: the separators become zero bytes, and the text ends with
// two of them.
std::string fileDialogFilter(const std::string& filter);

}  // namespace kestro

// Message boxes, file dialogs and the modal dialogs for the bar window, and
// the bar's view: the wait cursor, the repaint and the history box.
#pragma once

#include <functional>
#include <string>

#include "Win32Api.h"
#include "seam/BarView.h"
#include "seam/UserInterface.h"

namespace kestro {

class Win32UserInterface : public UserInterface, public BarView {
public:
    // Dialog templates and strings are loaded from `resources`.
    explicit Win32UserInterface(HINSTANCE resources) : resources_(resources) {}

    // The bar's window, owner of the bar's message box, and the view that
    // shows the history; a null window detaches.
    void attachBar(HWND bar, std::function<void()> showHistory);
    HWND bar() const { return bar_; }
    HINSTANCE resources() const { return resources_; }

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    void setWaitCursor(bool on) override;
    void repaint() override;
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

// The file dialog's filter for a kind of file: pairs of a description and
// a pattern, each ended by a zero byte, and one more zero byte at the end.
std::string fileDialogFilter(FileKind kind);

}  // namespace kestro

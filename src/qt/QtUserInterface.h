// What the core asks of the user, shown in Qt windows: message boxes, file
// dialogs, the three configuration dialogs, the desktop's opener, the wait
// cursor and the bar's history box.
#pragma once

#include <QObject>

#include "seam/UserInterface.h"

class QWidget;

namespace kestro {

class PosixProcesses;

class QtUserInterface : public QObject, public UserInterface {
    Q_OBJECT

public:
    QtUserInterface(QWidget* bar, PosixProcesses& processes);

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

signals:
    // The core changed the history list, its edit text or its selection.
    void historyModelChanged();
    // The core wants the history box to take the keyboard focus.
    void historyFocusRequested();

private:
    // The window a dialog of the core belongs to: the active modal one (the
    // settings panel, say), else the bar.
    QWidget* dialogParent() const;

    QWidget* bar_;
    PosixProcesses& processes_;
    int waitCursorDepth_ = 0;
};

}  // namespace kestro

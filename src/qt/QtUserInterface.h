// What the core asks of the user, shown in Qt windows: message boxes, file
// dialogs, the three configuration dialogs; and the bar's view: the wait
// cursor and the bar's history box.
#pragma once

#include <QObject>

#include "seam/BarView.h"
#include "seam/UserInterface.h"

class QWidget;

namespace kestro {

class QtUserInterface : public QObject, public UserInterface, public BarView {
    Q_OBJECT

public:
    explicit QtUserInterface(QWidget* bar) : bar_(bar) {}

    Answer showMessage(const MessageBoxRequest& box) override;
    std::optional<std::string> chooseFile(const FileDialogRequest& request) override;
    bool runPaperSizeDialog(PaperSizeDialog& dialog) override;
    bool runIndexOptionsDialog(IndexOptionsDialog& dialog) override;
    void runSettingsDialog(SettingsDialog& dialog) override;
    void setWaitCursor(bool on) override;
    void repaint() override;
    void historyChanged() override;
    void focusHistory() override;

    // From now on a message box is not shown: its text goes to standard
    // error, and it answers Cancel (the bar is ending with nobody to ask).
    void answerBoxesOnStandardError() { boxesOnStandardError_ = true; }

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
    int waitCursorDepth_ = 0;
    bool boxesOnStandardError_ = false;
};

}  // namespace kestro

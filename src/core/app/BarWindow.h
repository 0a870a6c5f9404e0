// The bar: its state, its initialisation, and the operations its controls
// trigger. Front ends own the window; this class owns the behaviour.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "state/BarState.h"
#include "state/Services.h"
#include "document/HistoryBox.h"
#include "pdf/RoadOutcome.h"

namespace kestro {

// Control IDs of the bar.
enum class BarControl : int {
    Edit = 1000,
    ChooseFile = 1001,
    Tex = 1002,
    Pdf = 1008,
    CommandPrompt = 1009,
    Settings = 1010,
    OneClick = 1011,
    History = 1017,
};

// The message shown once when the settings file cannot be written.
std::string settingsWriteFailureText(const std::string& settingsPath);
// The message shown once when the start folder's path leaves no room for it.
std::string startFolderTooLongText();
// The message for a document whose path holds a line break.
std::string lineBreakInPathText();

// The window-menu command of the version box.
inline constexpr int kAboutCommand = 16;

class BarWindow {
public:
    // `commandTail` is the text after the program name on the command line.
    BarWindow(Services& services, const std::string& commandTail);

    // Loads the settings and the history and settles the start-up document,
    // in the bar's order: paper group, history, tool group, selection of the
    // start-up document, repaint. The front end does its window steps
    // (window menu, icons, drop acceptance, tooltips) around it.
    void initialise();

    // The start-up without a window and without the history (kestro-build):
    // the paper group, the tool group, and `document` as the document.
    void initialiseWithoutWindow(const std::string& document);

    // The buttons, through the command dispatcher: a file that cannot be
    // read ends the operation with the file-error box, and the bar stays
    // usable.
    void press(BarControl button);

    // Runs any operation under the same dispatcher.
    void dispatch(const std::function<void()>& operation);

    // How the last press of the TeX, PDF or one-click button ended.
    const RoadOutcome& lastRoad() const { return lastRoad_; }

    // Files dropped on the bar (only the first counts). Run it under
    // dispatch: a path too long for the system is a file error.
    void acceptDroppedFile(const std::vector<std::string>& paths);
    // The history box closed its list with entry `index` chosen (-1: none).
    void pickHistoryEntry(int index);

    void chooseDocumentFile();
    void openInEditor();
    void openCommandPrompt();
    void compileAndConvert();
    void openPdf();
    void buildAndShowPdf();
    void openSettingsPanel();

    // The close request: writes the history.
    void saveHistory();
    // Every way the bar ends (close request, Esc, Enter, the end of the
    // desktop session) calls this: the history is written once.
    void endRun();
    bool ended() const { return ended_; }

    BarState& state() { return state_; }
    const BarState& state() const { return state_; }
    HistoryBox& history() { return history_; }
    const HistoryBox& history() const { return history_; }
    Services& services() { return services_; }

    // Whether a control has a tooltip, and its text under a platform's rules
    // (on Windows the string resource of the same ID); empty for controls
    // without one.
    static std::string tooltipText(const PlatformRules& rules, int controlId);
    // The window-menu item of the version box.
    static std::string aboutMenuText();
    // Window-menu commands whose ID, with the low four bits cleared, is 16
    // open the version box.
    static bool isAboutCommand(int commandId) { return (commandId & ~0xF) == kAboutCommand; }

private:
    void loadHistory();
    void selectStartupDocument();
    void setDocument(const std::string& path);
    // True, after saying so, for a path the history cannot hold (one with a
    // line break): such a document is turned away wherever it comes in.
    bool refusesDocument(const std::string& path);
    void pushHistoryTop(bool select);
    // One press of a build button, recorded and judged.
    void runRoad(RoadKind kind, void (BarWindow::*operation)());

    Services& services_;
    BarState state_;
    HistoryBox history_;
    bool ended_ = false;
    RoadOutcome lastRoad_;
};

}  // namespace kestro

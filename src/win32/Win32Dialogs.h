// The modal dialogs of the bar, over the core's dialog models: the version
// box (template 100), the settings panel (137), the paper size dialog (173)
// and the index options dialog (198).
#pragma once

#include "Win32Api.h"

namespace kestro {

class PaperSizeDialog;
class IndexOptionsDialog;
class SettingsDialog;

// Closes with OK, Enter or Esc.
void runAboutDialog(HINSTANCE resources, HWND owner);

// True when the dialog ended with OK; the model then holds the choice.
bool runPaperSizeDialogWindow(HINSTANCE resources, HWND owner, PaperSizeDialog& model);
bool runIndexOptionsDialogWindow(HINSTANCE resources, HWND owner, IndexOptionsDialog& model);

// Each button but Close runs its operation on the panel's model while the
// panel stays open; Close, Enter, Esc and the close box end it.
void runSettingsDialogWindow(HINSTANCE resources, HWND owner, SettingsDialog& model);

// The position of the checked radio button of the paper group, -1 when
// none is checked.
int checkedPaperPosition(HWND dialog);

}  // namespace kestro

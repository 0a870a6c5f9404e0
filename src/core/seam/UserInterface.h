// What the core asks of the user: message boxes, the file dialogs and the
// modal dialogs.
#pragma once

#include <optional>
#include <string>

namespace kestro {

class PaperSizeDialog;
class IndexOptionsDialog;
class SettingsDialog;

// Who owns a message box. The application box is modal to the active window;
// the bar's box is owned by the bar window. Both are captioned with the
// application name unless a caption is given.
enum class BoxOwner { Application, Bar };
enum class BoxButtons { Ok, OkCancel };
enum class BoxIcon { None, Exclamation, Stop };
enum class Answer { Ok, Cancel };

struct MessageBoxRequest {
    BoxOwner owner = BoxOwner::Bar;
    std::string text;
    std::string caption;  // already filled in by the core
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;
    bool systemModal = false;
};

// What a file dialog is for; front ends that cannot show a dialog (the
// console front end without a terminal) use it to tell the user which tool
// to choose in the bar's settings.
enum class FileChoice { Document, TexCompiler, Bibtex, Dvipdf, IndexTool, Editor };

// The kind of file picked; each front end shows its own filter for it.
enum class FileKind { TexDocument, Tool, Editor };

struct FileDialogRequest {
    FileKind kind = FileKind::TexDocument;
    FileChoice purpose = FileChoice::Document;
};

class UserInterface {
public:
    virtual ~UserInterface() = default;

    // Shows the box and returns which answer ended it. Only OK counts as OK:
    // Cancel, Escape and the close box all answer Cancel.
    virtual Answer showMessage(const MessageBoxRequest& box) = 0;

    // A modal file-open dialog; the chosen full path, or nothing on Cancel.
    virtual std::optional<std::string> chooseFile(const FileDialogRequest& request) = 0;
    // False when this front end has no way to let the user pick a file (the
    // console front end without a terminal). The tool selections then leave
    // every setting as it is instead of treating the missing choice as Cancel.
    virtual bool canChooseFiles() const { return true; }

    // Modal runs of the three dialogs over their models. The first two return
    // true when the dialog ended with OK (the model then holds the choice).
    virtual bool runPaperSizeDialog(PaperSizeDialog& dialog) = 0;
    virtual bool runIndexOptionsDialog(IndexOptionsDialog& dialog) = 0;
    virtual void runSettingsDialog(SettingsDialog& dialog) = 0;
};

}  // namespace kestro

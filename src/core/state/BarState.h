// Everything the bar remembers while it runs.
//
// The configuration operations take a BarState: the live bar's, or the
// settings panel's private copy.
#pragma once

#include <string>

namespace kestro {

struct BarState {
    int historyCapacity = 0;        // how many documents the history keeps
    std::string editorPath;         // the editor the Edit button opens
    std::string documentPath;       // the document as chosen ("" when none)
    std::string documentStem;       // its file name without directory and extension
    std::string documentDir;        // its directory, with the trailing separator
    std::string documentExt;        // its extension, with the dot
    std::string texCommand;         // the compiler, a bare name or a path
    std::string bibtexCommand;      // the bibliography tool
    std::string dvipdfCommand;      // the DVI-to-PDF converter
    std::string indexCommand;       // the index tool
    std::string indexOptions;       // the index tool's options text
    int indexDialogNever = 0;       // nonzero: the index options dialog is not shown
    int paperSizeNo = 0;            // the paper size, a position of the paper dialog's list
    int paperSkipUntilRestart = 0;  // nonzero: the paper dialog is not shown until the next start
    int paperSkipFromNowOn = 0;     // nonzero: the paper dialog is not shown from now on
    int acrSetting = 0;             // nonzero: a conversion has succeeded once
};

}  // namespace kestro

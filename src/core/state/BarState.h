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
    std::string texOptions;         // the compiler's options text ("": none, the compiler and the stem alone)
    std::string bibtexCommand;      // the bibliography tool
    std::string dvipdfCommand;      // the DVI-to-PDF converter
    std::string indexCommand;       // the index tool
    std::string indexOptions;       // the index tool's options text
    int indexDialogNever = 0;       // nonzero: the index options dialog is not shown
    int paperSizeNo = 0;            // the paper size, a position of the paper dialog's list
    // Nonzero: conversions do not show the paper dialog in this run. After
    // the dialog it is the sum of its two boxes (they exclude each other, but
    // a hand-edited file may tick both), so it can be 2; at start-up it is 1
    // when "from now on" was stored.
    int paperSizeSticky = 0;
    int paperDialogNever = 0;       // nonzero: the paper dialog is not shown from now on, nor after a restart
    int acrSetting = 0;             // nonzero: a conversion has succeeded once
    // Nonzero: the compiler runs after the bibliography or index tool only
    // when the file the tool wrote differs from the one the compiler read.
    int rerunOnChange = 0;
};

}  // namespace kestro

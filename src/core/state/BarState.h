// Everything the bar remembers while it runs.
//
// The configuration operations take a BarState: the live bar's, or the
// settings panel's private copy.
#pragma once

#include <string>

namespace kestro {

struct BarState {
    int historyCapacity = 0;
    std::string editorPath;
    std::string documentPath;
    std::string documentStem;
    std::string documentDir;
    std::string documentExt;
    std::string texCommand;
    std::string bibtexCommand;
    std::string dvipdfCommand;
    std::string indexCommand;
    std::string indexOptions;
    int indexDialogNever = 0;
    int paperSizeNo = 0;
    int paperSizeSticky = 0;
    int paperDialogNever = 0;
    int acrSetting = 0;
};

}  // namespace kestro

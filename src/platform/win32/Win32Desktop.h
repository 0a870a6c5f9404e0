// The desktop on Windows: the shell opens the editor and the PDF file.
#pragma once

#include "Win32Api.h"
#include "seam/Desktop.h"

namespace kestro {

class Win32Desktop : public Desktop {
public:
    // The window that owns what the shell shows; none: the desktop.
    void setOwner(HWND owner) { owner_ = owner; }

    // The shell gets the parameters joined by single blanks as its parameter
    // text.
    bool openWith(const std::string& program, const std::vector<std::string>& parameters,
                  const std::string& directory) override;
    bool openInViewer(const std::string& file, const std::string& directory) override;

private:
    bool open(const std::string& file, const char* parameters, const std::string& directory);

    HWND owner_ = nullptr;
};

}  // namespace kestro

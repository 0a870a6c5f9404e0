// The desktop of the Linux front ends: the editor, and the desktop's opener
// for the PDF file.
#pragma once

#include <string>
#include <vector>

#include "seam/Desktop.h"

namespace kestro {

class PosixProcesses;

class PosixDesktop : public Desktop {
public:
    explicit PosixDesktop(PosixProcesses& processes) : processes_(processes) {}

    // Starts `program` (a text with "/" as written, a bare name along PATH)
    // with each parameter as one argument.
    bool openWith(const std::string& program, const std::vector<std::string>& parameters,
                  const std::string& directory) override;
    // Starts the desktop's opener, "xdg-open" or the program that the
    // environment variable KESTRO_OPENER names, on `file`.
    bool openInViewer(const std::string& file, const std::string& directory) override;

private:
    // Either way the program runs in `directory` (empty: the current
    // directory), in a session of its own, and is not waited for.
    bool start(const std::string& program, std::vector<std::string> arguments, const std::string& directory);

    PosixProcesses& processes_;
};

}  // namespace kestro

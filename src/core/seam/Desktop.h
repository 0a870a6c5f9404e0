// What the core needs of the desktop: handing a file to a program, or to
// the desktop's own viewer, without waiting for either.
#pragma once

#include <string>
#include <vector>

namespace kestro {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Starts `program` with `parameters` in `directory` (empty: the current
    // one); true when it started. Where a program receives its arguments one
    // by one (Linux), each parameter is one argument, whatever it holds;
    // where it receives one command-line text (Windows), the parameters are
    // that text, joined by single blanks as they are.
    virtual bool openWith(const std::string& program, const std::vector<std::string>& parameters,
                          const std::string& directory) = 0;

    // Hands `file` (relative to `directory`) to the desktop's viewer for its
    // kind; true when the viewer started.
    virtual bool openInViewer(const std::string& file, const std::string& directory) = 0;
};

}  // namespace kestro

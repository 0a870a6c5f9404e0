// What the core needs of the desktop: handing a file to a program, or to
// the desktop's own viewer, without waiting for either.
#pragma once

#include <string>

namespace kestro {

class Desktop {
public:
    virtual ~Desktop() = default;

    // Starts `program` with the parameter text (a command line's words) in
    // `directory` (empty: the current one); true when it started.
    virtual bool openWith(const std::string& program, const std::string& parameters,
                          const std::string& directory) = 0;

    // Hands `file` (relative to `directory`) to the desktop's viewer for its
    // kind; true when the viewer started.
    virtual bool openInViewer(const std::string& file, const std::string& directory) = 0;
};

}  // namespace kestro

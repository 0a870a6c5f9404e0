// Whole-file storage on Linux: reads with plain file reads, replaces files
// through a temporary file and a rename in the file's own directory. Writers
// are serialised between processes by flock on that directory, so no lock
// file is ever left beside the file.
#pragma once

#include "seam/TextFileStore.h"

namespace kestro {

class PosixTextFileStore : public TextFileStore {
public:
    // Only a regular file is read (also behind a symbolic link); anything
    // else reads as absent, so a read never blocks or goes on without end.
    std::optional<std::string> read(const std::string& path) override;

    // The file the user protected stays as it is: an existing file without
    // any write permission bit, or one the running user cannot open for
    // writing, fails the write, for root too. An existing file keeps its
    // permission bits (and its owner where that can be kept); a new one gets
    // 0666 less the umask. A symbolic link is written through, and stays a
    // link, only when every link on the way belongs to the running user and
    // the file it ends at is that user's regular file. An existing file that
    // cannot be read is never overwritten. A temporary file that a killed
    // writer left behind is removed by the next write.
    bool update(const std::string& path,
                const std::function<std::optional<std::string>(const std::optional<std::string>&)>& edit) override;
};

}  // namespace kestro

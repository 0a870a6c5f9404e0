// A compiler log read line by line, with the file TeX has open at each
// point: the "(" that opens a file and the ")" that closes it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/CodePage.h"

namespace kestro {

// A place in the document that a log line speaks of, in the form editors'
// build panels read (FILE:LINE: MESSAGE).
struct LogPlace {
    // The file, as the log names it (relative to the compiler's directory
    // unless absolute); empty when the log shows none open, which means the
    // document itself.
    std::string file;
    // Nothing when the log gives no line.
    std::optional<long> line;
    std::string message;
};

// Whether an entry of this name exists, the name as the log gives it. TeX
// writes a name with blanks or parentheses as it is, so only the files
// that exist tell where such a name ends.
using LogFileExists = std::function<bool(const std::string& name)>;

class LogScan {
public:
    // Without `exists`, a name ends at its first blank or parenthesis.
    LogScan(CodePage cp, std::string_view log, LogFileExists exists = {});

    // Calls `visit` with the start of each line, before the line's own
    // groups are read, until it returns true. One pass over the text, so a
    // log of any size costs no more than reading it.
    void run(const std::function<bool(std::size_t lineStart)>& visit);

    // The innermost file open at the line `run` visits; empty when none is.
    std::string openFile() const;
    // Every file the scan has seen opened, in order.
    std::vector<std::string> openedFiles() const;

    // The line that starts at `start`, without its line break.
    std::string_view lineAt(std::size_t start) const;
    // Where the line after the one at `start` begins; npos after the last.
    std::size_t nextLine(std::size_t start) const;

private:
    // A "(" still open: the bytes of the file name it opened, or none (begin
    // == end) when what it opened is not a file, such as "(Font)" or "(1.2pt
    // too wide)". Spans, not copies: a long log opens many groups.
    struct OpenGroup {
        std::size_t begin = 0;
        std::size_t end = 0;
    };
    // Where a name may end, and where the line of that end starts.
    struct NameEnd {
        std::size_t end;
        std::size_t lineStart;
    };

    std::size_t openGroup(std::size_t pos);
    NameEnd nameEnd(std::size_t pos) const;
    std::string joined(std::size_t begin, std::size_t end) const;

    CodePage cp_;
    std::string_view log_;
    LogFileExists exists_;
    std::size_t lineStart_ = 0;
    std::vector<OpenGroup> open_;
    std::vector<OpenGroup> opened_;
};

// TeX breaks log lines at this many bytes (max_print_line), so a long file
// name or message may go on at the start of the next line.
inline constexpr std::size_t kLogLineWidth = 79;

// The number that `text` begins with, of at most nine digits so that it
// always fits; nothing when it begins with none.
std::optional<long> leadingNumber(std::string_view text);

// Whether `name` looks like a file name rather than a note such as
// "(Font)" or "(1.2pt too wide)".
bool looksLikeFile(std::string_view name);

}  // namespace kestro

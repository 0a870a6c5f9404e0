#include "pipeline/LatexWarnings.h"

#include <algorithm>

namespace kestro {

namespace {

constexpr std::size_t npos = std::string_view::npos;
constexpr std::string_view kPrefix = "LaTeX Warning: ";
constexpr std::string_view kOnLine = " on input line ";
// A warning that runs on longer than this is cut there.
constexpr int kMaxLines = 20;

// The warning's text, from its first line up to the empty line LaTeX writes
// after it (or the next error or warning, or the log's end).
std::string warningText(const LogScan& scan, std::size_t start) {
    std::string_view line = scan.lineAt(start);
    std::string text(line.substr(kPrefix.size()));
    for (int n = 1; n < kMaxLines; ++n) {
        // pTeX breaks before a double-width character that would not fit,
        // so a full line may be a byte short.
        const bool filled = line.size() + 1 >= kLogLineWidth;
        start = scan.nextLine(start);
        if (start == npos) break;
        line = scan.lineAt(start);
        if (line.empty() || line.starts_with(kPrefix) || line.starts_with("! ")) break;
        if (const std::size_t indent = line.find_first_not_of(' '); indent != 0) {
            // A line of its own in the message, indented under the prefix.
            line.remove_prefix(std::min(indent, line.size()));
            text += ' ';
        } else if (!filled) {
            break;
        }
        text += line;
    }
    return text;
}

// N of the message's last "on input line N".
std::optional<long> inputLine(CodePage cp, std::string_view text) {
    std::optional<long> found;
    for (std::size_t at = findText(cp, text, kOnLine); at != npos; at = findText(cp, text, kOnLine, at + 1)) {
        if (const std::optional<long> number = leadingNumber(text.substr(at + kOnLine.size()))) found = number;
    }
    return found;
}

}  // namespace

std::vector<LogPlace> latexWarnings(CodePage cp, std::string_view log, const LogFileExists& exists) {
    LogScan scan(cp, log, exists);
    std::vector<LogPlace> warnings;
    scan.run([&](std::size_t start) {
        if (scan.lineAt(start).starts_with(kPrefix)) {
            std::string text = warningText(scan, start);
            std::optional<long> line = inputLine(cp, text);
            warnings.push_back(LogPlace{scan.openFile(), line, std::move(text)});
        }
        return false;
    });
    return warnings;
}

}  // namespace kestro

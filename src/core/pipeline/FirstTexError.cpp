#include "pipeline/FirstTexError.h"

namespace kestro {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// "FILE:LINE: MESSAGE", the -file-line-error form of an error. ':' is ASCII
// below 0x40, never a trail byte, so a byte search finds it exactly.
std::optional<LogPlace> fileLineError(std::string_view line) {
    for (std::size_t colon = line.find(':'); colon != npos; colon = line.find(':', colon + 1)) {
        const std::size_t digits = line.find_first_not_of("0123456789", colon + 1);
        if (digits == colon + 1 || digits == npos || line.compare(digits, 2, ": ") != 0) continue;
        if (!looksLikeFile(line.substr(0, colon))) return std::nullopt;
        return LogPlace{std::string(line.substr(0, colon)), leadingNumber(line.substr(colon + 1)),
                        std::string(line.substr(digits + 2))};
    }
    return std::nullopt;
}

bool isErrorLine(std::string_view line) { return line.starts_with("! ") || fileLineError(line); }

// What TeX shows of where it was reading: "l.12 \foo", "<*> paper",
// "<argument> ...", "<read *>".
bool isContextLine(std::string_view line) {
    return line.starts_with("l.") || (line.starts_with("<") && line.find('>') != npos);
}

// N of the first "l.N" line after the error. A later error ends the search
// once this one has shown where it was reading; before that, the later
// error's context is this one's too (a missing package asks for a file name,
// and the empty answer stops TeX with a context that names the line).
std::optional<long> contextLine(const LogScan& scan, std::size_t errorLine) {
    bool shownContext = false;
    for (std::size_t start = scan.nextLine(errorLine); start != npos; start = scan.nextLine(start)) {
        const std::string_view line = scan.lineAt(start);
        if (shownContext && isErrorLine(line)) return std::nullopt;
        if (line.starts_with("l.")) {
            if (const std::optional<long> number = leadingNumber(line.substr(2))) return number;
        }
        shownContext = shownContext || isContextLine(line);
    }
    return std::nullopt;
}

}  // namespace

std::optional<LogPlace> firstTexError(CodePage cp, std::string_view log, const LogFileExists& exists) {
    LogScan scan(cp, log, exists);
    std::optional<LogPlace> found;
    scan.run([&](std::size_t start) {
        const std::string_view line = scan.lineAt(start);
        if (line.starts_with("! ")) {
            found = LogPlace{scan.openFile(), contextLine(scan, start), std::string(line.substr(2))};
        } else {
            found = fileLineError(line);
        }
        return found.has_value();
    });
    return found;
}

}  // namespace kestro

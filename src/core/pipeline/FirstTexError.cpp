#include "pipeline/FirstTexError.h"

#include <vector>

namespace kestro {

namespace {

// TeX breaks log lines at this many bytes (max_print_line), so a long file
// name may go on at the start of the next line.
constexpr std::size_t kLogLineWidth = 79;

// A "(" still open: the bytes of the file name it opened, or none (begin ==
// end) when what it opened is not a file, such as "(Font)" or "(1.2pt too
// wide)". Spans, not copies: a long log opens many groups.
struct OpenGroup {
    std::size_t begin = 0;
    std::size_t end = 0;
};

// The bytes the scan stops at are ASCII below 0x40: neither a CP932 trail
// byte nor part of a UTF-8 sequence, so a byte search finds them exactly.
bool endsName(char c) { return c == ' ' || c == '\t' || c == '(' || c == ')' || c == '\n' || c == '\r'; }

bool looksLikeFile(std::string_view name) {
    if (name.empty()) return false;
    const char first = name.front();
    if (first == '.' || first == '/') return true;
    if (first >= '0' && first <= '9') return false;  // (1.2pt too wide)
    return name.find('.') != std::string_view::npos || name.find('/') != std::string_view::npos;
}

// Length of the line break at `pos` ("\n" or "\r\n"), 0 when there is none.
std::size_t lineBreakAt(std::string_view log, std::size_t pos) {
    if (pos < log.size() && log[pos] == '\n') return 1;
    if (pos + 1 < log.size() && log[pos] == '\r' && log[pos + 1] == '\n') return 2;
    return 0;
}

class LogScan {
public:
    LogScan(CodePage cp, std::string_view log) : cp_(cp), log_(log) {}

    std::optional<TexErrorPlace> run() {
        std::size_t pos = 0;
        while (pos < log_.size()) {
            if (pos == lineStart_ && log_.compare(pos, 2, "! ") == 0) return errorAt(pos);
            const char c = log_[pos];
            if (c == '\n') {
                lineStart_ = ++pos;
            } else if (c == '(') {
                pos = openGroup(pos + 1);
            } else if (c == ')') {
                if (!open_.empty()) open_.pop_back();
                ++pos;
            } else {
                ++pos;
            }
        }
        return std::nullopt;
    }

private:
    // Reads what a "(" opens, from `pos` on; returns where the scan goes on.
    std::size_t openGroup(std::size_t pos) {
        OpenGroup group;
        std::size_t end = pos;
        if (end < log_.size() && log_[end] == '"') {
            // A name with blanks is written in quotes.
            const std::size_t close = log_.find('"', end + 1);
            const std::size_t lineEnd = log_.find('\n', end);
            if (close != std::string_view::npos && close < lineEnd) {
                group = OpenGroup{end + 1, close};
                end = close + 1;
            }
        } else {
            while (end < log_.size()) {
                if (const std::size_t brk = lineBreakAt(log_, end)) {
                    // A name that fills the line goes on at the next one.
                    const std::size_t next = end + brk;
                    if (end - lineStart_ < kLogLineWidth || next >= log_.size() || endsName(log_[next])) break;
                    lineStart_ = next;
                    end = next;
                    continue;
                }
                if (endsName(log_[end])) break;
                end += characterLength(cp_, log_, end);
            }
            group = OpenGroup{pos, end};
        }
        // A break inside the name changes neither its first byte nor its dots.
        if (!looksLikeFile(log_.substr(group.begin, group.end - group.begin))) group = OpenGroup{};
        open_.push_back(group);
        return end;
    }

    // The bytes of the span without the line breaks TeX put into it.
    std::string joined(OpenGroup group) const {
        std::string name;
        for (std::size_t pos = group.begin; pos < group.end; ++pos) {
            if (log_[pos] != '\n' && log_[pos] != '\r') name += log_[pos];
        }
        return name;
    }

    TexErrorPlace errorAt(std::size_t pos) const {
        TexErrorPlace place;
        std::size_t lineEnd = log_.find('\n', pos);
        if (lineEnd == std::string_view::npos) lineEnd = log_.size();
        std::size_t messageEnd = lineEnd;
        if (messageEnd > pos + 2 && log_[messageEnd - 1] == '\r') --messageEnd;
        place.message = std::string(log_.substr(pos + 2, messageEnd - pos - 2));
        for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
            if (it->begin != it->end) {
                place.file = joined(*it);
                break;
            }
        }
        place.line = contextLine(lineEnd);
        return place;
    }

    // N of the first "l.N" line after the error line, before any further
    // error; at most nine digits are read.
    std::optional<long> contextLine(std::size_t lineEnd) const {
        for (std::size_t start = lineEnd + 1; start < log_.size();) {
            if (log_.compare(start, 2, "! ") == 0) return std::nullopt;
            if (log_.compare(start, 2, "l.") == 0) {
                long line = 0;
                std::size_t digits = 0;
                for (std::size_t pos = start + 2; pos < log_.size() && digits < 9; ++pos, ++digits) {
                    const char c = log_[pos];
                    if (c < '0' || c > '9') break;
                    line = line * 10 + (c - '0');
                }
                if (digits > 0) return line;
            }
            const std::size_t next = log_.find('\n', start);
            if (next == std::string_view::npos) break;
            start = next + 1;
        }
        return std::nullopt;
    }

    CodePage cp_;
    std::string_view log_;
    std::size_t lineStart_ = 0;
    std::vector<OpenGroup> open_;
};

}  // namespace

std::optional<TexErrorPlace> firstTexError(CodePage cp, std::string_view log) {
    return LogScan(cp, log).run();
}

}  // namespace kestro

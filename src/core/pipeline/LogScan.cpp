#include "pipeline/LogScan.h"

namespace kestro {

namespace {

constexpr std::size_t npos = std::string_view::npos;
// How far a name is followed for the longest one that exists.
constexpr std::size_t kMaxNameEnds = 32;
constexpr std::size_t kMaxNameBytes = 4096;

// The bytes the scan stops at are ASCII below 0x40: neither a CP932 trail
// byte nor part of a UTF-8 sequence, so a byte search finds them exactly.
bool endsName(char c) { return c == ' ' || c == '\t' || c == '(' || c == ')' || c == '\n' || c == '\r'; }

// Length of the line break at `pos` ("\n" or "\r\n"), 0 when there is none.
std::size_t lineBreakAt(std::string_view log, std::size_t pos) {
    if (pos < log.size() && log[pos] == '\n') return 1;
    if (pos + 1 < log.size() && log[pos] == '\r' && log[pos + 1] == '\n') return 2;
    return 0;
}

}  // namespace

std::optional<long> leadingNumber(std::string_view text) {
    constexpr std::size_t kMaxDigits = 9;
    long number = 0;
    std::size_t digits = 0;
    for (; digits < text.size() && digits < kMaxDigits && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
        number = number * 10 + (text[digits] - '0');
    }
    if (digits == 0) return std::nullopt;
    return number;
}

bool looksLikeFile(std::string_view name) {
    if (name.empty()) return false;
    const char first = name.front();
    if (first == '.' || first == '/') return true;
    if (first >= '0' && first <= '9') return false;  // (1.2pt too wide)
    return name.find('.') != npos || name.find('/') != npos;
}

LogScan::LogScan(CodePage cp, std::string_view log, LogFileExists exists)
    : cp_(cp), log_(log), exists_(std::move(exists)) {}

void LogScan::run(const std::function<bool(std::size_t)>& visit) {
    std::size_t pos = 0;
    while (pos < log_.size()) {
        if (pos == lineStart_ && visit(pos)) return;
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
}

std::string LogScan::openFile() const {
    for (auto it = open_.rbegin(); it != open_.rend(); ++it) {
        if (it->begin != it->end) return joined(it->begin, it->end);
    }
    return "";
}

std::vector<std::string> LogScan::openedFiles() const {
    std::vector<std::string> names;
    for (const OpenGroup& group : opened_) names.push_back(joined(group.begin, group.end));
    return names;
}

std::string_view LogScan::lineAt(std::size_t start) const {
    std::size_t end = log_.find('\n', start);
    if (end == npos) end = log_.size();
    if (end > start && log_[end - 1] == '\r') --end;
    return log_.substr(start, end - start);
}

std::size_t LogScan::nextLine(std::size_t start) const {
    const std::size_t end = log_.find('\n', start);
    return end == npos || end + 1 >= log_.size() ? npos : end + 1;
}

// Reads what a "(" opens, from `pos` on; returns where the scan goes on.
std::size_t LogScan::openGroup(std::size_t pos) {
    OpenGroup group;
    std::size_t end = pos;
    if (end < log_.size() && log_[end] == '"') {
        // Older TeX writes a name with blanks in quotes.
        const std::size_t close = log_.find('"', end + 1);
        const std::size_t lineEnd = log_.find('\n', end);
        if (close != npos && close < lineEnd) {
            group = OpenGroup{end + 1, close};
            end = close + 1;
        }
    } else {
        const NameEnd found = nameEnd(pos);
        lineStart_ = found.lineStart;
        end = found.end;
        group = OpenGroup{pos, end};
    }
    // A break inside the name changes neither its first byte nor its dots.
    if (looksLikeFile(log_.substr(group.begin, group.end - group.begin))) {
        opened_.push_back(group);
    } else {
        group = OpenGroup{};
    }
    open_.push_back(group);
    return end;
}

// The name ends at its first blank, parenthesis or line end; a line that
// TeX filled goes on at the next one. When files can be asked for, the
// longest name up to any later such end that exists wins: `my doc.tex`,
// `chap(1).tex`.
LogScan::NameEnd LogScan::nameEnd(std::size_t pos) const {
    std::vector<NameEnd> ends;
    std::size_t end = pos, lineStart = lineStart_;
    std::optional<NameEnd> first;
    while (end < log_.size() && end - pos < kMaxNameBytes && ends.size() < kMaxNameEnds) {
        if (const std::size_t brk = lineBreakAt(log_, end)) {
            const std::size_t next = end + brk;
            ends.push_back({end, lineStart});
            if (end - lineStart < kLogLineWidth || next >= log_.size() || endsName(log_[next])) break;
            lineStart = next;
            end = next;
            continue;
        }
        if (endsName(log_[end])) {
            ends.push_back({end, lineStart});
            if (!first) first = ends.back();
            if (!exists_) break;
        }
        end += characterLength(cp_, log_, end);
    }
    if (end >= log_.size()) ends.push_back({log_.size(), lineStart});
    // Without an end of its own before the line ends, the name runs to it.
    if (!first) first = ends.empty() ? NameEnd{end, lineStart} : ends.back();
    if (!exists_ || !looksLikeFile(joined(pos, first->end))) return *first;
    for (auto it = ends.rbegin(); it != ends.rend(); ++it) {
        const std::string name = joined(pos, it->end);
        if (looksLikeFile(name) && exists_(name)) return *it;
    }
    return *first;
}

// The bytes of the span without the line breaks TeX put into it.
std::string LogScan::joined(std::size_t begin, std::size_t end) const {
    std::string name;
    for (std::size_t pos = begin; pos < end; ++pos) {
        if (log_[pos] != '\n' && log_[pos] != '\r') name += log_[pos];
    }
    return name;
}

}  // namespace kestro

#include "pipeline/LogAnalysis.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace kestro {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Every request holds "rerun"; what may follow it, or stand before it.
constexpr std::string_view kAfterRerun[] = {" to get", " to correct", " latex"};
constexpr std::string_view kBeforeRerun = "has changed. ";

bool isLineBreak(char c) { return c == '\n' || c == '\r'; }

char foldedAt(std::string_view text, std::size_t pos) {
    const char c = text[pos];
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Where `word` (in lower case) ends when it is read from pos on, without
// case and over line breaks; npos when it is not there.
std::size_t matchForward(std::string_view text, std::size_t pos, std::string_view word) {
    for (const char expected : word) {
        while (pos < text.size() && isLineBreak(text[pos])) ++pos;
        if (pos == text.size() || foldedAt(text, pos) != expected) return npos;
        ++pos;
    }
    return pos;
}

// Where `word` begins when it ends just before `end`, read the same way.
std::size_t matchBackward(std::string_view text, std::size_t end, std::string_view word) {
    for (auto it = word.rbegin(); it != word.rend(); ++it) {
        while (end > 0 && isLineBreak(text[end - 1])) --end;
        if (end == 0 || foldedAt(text, end - 1) != *it) return npos;
        --end;
    }
    return end;
}

// The next "u" or "U" at or after pos, the rarest letter of "rerun" in a
// log. Eight bytes are tested at a time: a word holds one exactly when
// one of its bytes, with the case bit set, XORs with 'u' to zero.
std::size_t findLetterU(std::string_view text, std::size_t pos) {
    constexpr std::uint64_t ones = 0x0101010101010101u;
    for (; pos + 8 <= text.size(); pos += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + pos, sizeof word);
        const std::uint64_t diff = (word | ones * 0x20) ^ (ones * 'u');
        if (((diff - ones) & ~diff & ones * 0x80) != 0) break;
    }
    for (; pos < text.size(); ++pos) {
        if ((static_cast<unsigned char>(text[pos]) | 0x20) == 'u') return pos;
    }
    return npos;
}

// Whether the match text[start, end) begins on a character of the code
// page, not on the second byte of a double-byte one.
bool startsCharacter(CodePage cp, std::string_view text, std::size_t start, std::size_t end) {
    return findText(cp, text.substr(0, end), text.substr(start, end - start), start) == start;
}

}  // namespace

bool isUserStop(CodePage cp, std::string_view log) {
    // TeX echoes the answer on a line of its own; a line that only begins
    // with "? x" is the document's text (\typeout{? x marks the spot}).
    for (const std::string_view answer : {"\n? x", "\n? X"}) {
        for (std::size_t at = findText(cp, log, answer); at != npos; at = findText(cp, log, answer, at + 1)) {
            const std::size_t after = at + answer.size();
            if (after == log.size() || isLineBreak(log[after])) return true;
        }
    }
    return false;
}

bool reportsMissingBbl(CodePage cp, std::string_view log, std::string_view stem) {
    std::string needle = "No file ";
    needle += stem;
    needle += ".bbl";
    return containsText(cp, log, needle);
}

bool auxNamesBibdata(CodePage cp, std::string_view aux) { return containsText(cp, aux, "\\bibdata"); }

bool logHasLabelChange(CodePage cp, std::string_view log) { return containsText(cp, log, "Label(s)"); }

bool logAsksForRerun(CodePage cp, std::string_view log) {
    for (std::size_t u = findLetterU(log, 0); u != npos; u = findLetterU(log, u + 1)) {
        const std::size_t start = matchBackward(log, u, "rer");
        const std::size_t end = start == npos ? npos : matchForward(log, u, "un");
        if (end == npos) continue;
        for (const std::string_view after : kAfterRerun) {
            const std::size_t stop = matchForward(log, end, after);
            if (stop != npos && startsCharacter(cp, log, start, stop)) return true;
        }
        const std::size_t before = matchBackward(log, start, kBeforeRerun);
        if (before != npos && startsCharacter(cp, log, before, end)) return true;
    }
    return false;
}

bool logHasLatexWarning(CodePage cp, std::string_view log) { return containsText(cp, log, "LaTeX Warning"); }

ClosingRuns chooseClosingRuns(bool tocBefore, bool tocNow, bool tocChanged, bool labels) {
    if (tocBefore) {
        if (labels) return ClosingRuns::RunB;
        return tocChanged ? ClosingRuns::RunA : ClosingRuns::None;
    }
    if (tocNow) return labels ? ClosingRuns::RunB : ClosingRuns::RunA;
    return labels ? ClosingRuns::RunA : ClosingRuns::None;
}

}  // namespace kestro

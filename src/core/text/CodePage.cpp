#include "text/CodePage.h"

namespace kestro {

namespace {

unsigned char byteAt(std::string_view text, std::size_t pos) {
    return static_cast<unsigned char>(text[pos]);
}

bool isCp932Lead(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

bool isCp932Trail(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

std::size_t cp932Length(std::string_view text, std::size_t pos) {
    if (!isCp932Lead(byteAt(text, pos))) return 1;
    if (pos + 1 < text.size() && isCp932Trail(byteAt(text, pos + 1))) return 2;
    return 1;
}

bool isContinuation(unsigned char b) {
    return (b & 0xC0) == 0x80;
}

// Strict decoding: overlong forms, surrogates and values past U+10FFFF are
// invalid, so their lead byte counts as a character of its own.
std::size_t utf8Length(std::string_view text, std::size_t pos) {
    const unsigned char lead = byteAt(text, pos);
    std::size_t length = 0;
    unsigned char secondMin = 0x80;
    unsigned char secondMax = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) secondMin = 0xA0;
        if (lead == 0xED) secondMax = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) secondMin = 0x90;
        if (lead == 0xF4) secondMax = 0x8F;
    } else {
        return 1;
    }
    if (pos + length > text.size()) return 1;
    const unsigned char second = byteAt(text, pos + 1);
    if (second < secondMin || second > secondMax) return 1;
    for (std::size_t i = 2; i < length; ++i) {
        if (!isContinuation(byteAt(text, pos + i))) return 1;
    }
    return length;
}

bool isAsciiUpper(char c) {
    return c >= 'A' && c <= 'Z';
}

}  // namespace

std::size_t characterLength(CodePage cp, std::string_view text, std::size_t pos) {
    if (pos >= text.size()) return 0;
    return cp == CodePage::Cp932 ? cp932Length(text, pos) : utf8Length(text, pos);
}

namespace {

// A position at or before `pos`, and not before `floor` (itself a known
// boundary), from which walking character by character is exact. In UTF-8
// every byte that is not a continuation byte starts a character; in CP932 a
// byte that can be neither a lead nor a trail byte (controls, blanks,
// digits, most punctuation) stands alone, so the byte after it starts one.
std::size_t resyncPoint(CodePage cp, std::string_view text, std::size_t pos, std::size_t floor) {
    std::size_t p = pos;
    if (cp == CodePage::Utf8) {
        for (int back = 0; back < 3 && p > floor && isContinuation(byteAt(text, p)); ++back) --p;
        return isContinuation(byteAt(text, p)) && p != floor ? pos : p;
    }
    while (p > floor && isCp932Trail(byteAt(text, p - 1))) --p;
    return p;
}

}  // namespace

std::size_t findText(CodePage cp, std::string_view haystack, std::string_view needle,
                     std::size_t from) {
    if (from > haystack.size()) return std::string_view::npos;
    // A byte search finds the candidates; only around each candidate is the
    // text walked by characters, from the last boundary known, so the whole
    // search stays linear in the text's length.
    std::size_t boundary = 0;
    for (std::size_t candidate = haystack.find(needle, from); candidate != std::string_view::npos;
         candidate = haystack.find(needle, candidate + 1)) {
        // Positions short of the last boundary lie inside its character.
        if (candidate < boundary) continue;
        std::size_t pos = resyncPoint(cp, haystack, candidate, boundary);
        while (pos < candidate) pos += characterLength(cp, haystack, pos);
        boundary = pos;
        if (pos != candidate) continue;
        // The match must also end on a boundary, or a needle ending in a
        // lone lead byte would match half of a character.
        std::size_t end = pos;
        while (end < pos + needle.size()) end += characterLength(cp, haystack, end);
        if (end == pos + needle.size()) return pos;
    }
    return std::string_view::npos;
}

bool containsText(CodePage cp, std::string_view haystack, std::string_view needle) {
    return findText(cp, haystack, needle) != std::string_view::npos;
}

std::size_t findLastOf(CodePage cp, std::string_view text, std::string_view bytes) {
    std::size_t found = std::string_view::npos;
    for (std::size_t pos = 0; pos < text.size(); pos += characterLength(cp, text, pos)) {
        if (bytes.find(text[pos]) != std::string_view::npos) found = pos;
    }
    return found;
}

std::size_t findFirstOf(CodePage cp, std::string_view text, std::string_view bytes,
                        std::size_t from) {
    for (std::size_t pos = 0; pos < text.size(); pos += characterLength(cp, text, pos)) {
        if (pos >= from && bytes.find(text[pos]) != std::string_view::npos) return pos;
    }
    return std::string_view::npos;
}

std::string cutToBytes(CodePage cp, std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return std::string(text);
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t next = end + characterLength(cp, text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return std::string(text.substr(0, end));
}

std::string foldAsciiCase(CodePage cp, std::string_view text) {
    std::string folded(text);
    for (std::size_t pos = 0; pos < text.size();) {
        const std::size_t length = characterLength(cp, text, pos);
        if (length == 1 && isAsciiUpper(text[pos])) folded[pos] = static_cast<char>(text[pos] - 'A' + 'a');
        pos += length;
    }
    return folded;
}

bool startsWithText(CodePage cp, std::string_view text, std::string_view prefix, bool ignoreCase) {
    if (!ignoreCase) return text.starts_with(prefix);
    if (prefix.size() > text.size()) return false;
    return std::string_view(foldAsciiCase(cp, text)).starts_with(foldAsciiCase(cp, prefix));
}

}  // namespace kestro

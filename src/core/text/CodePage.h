// Byte-level helpers for text in the platform's multi-byte code page.
//
// All text inside the program is bytes: CP932 on Windows (the ANSI code page
// of Japanese systems), UTF-8 on Linux. In CP932 the second byte of a
// double-byte character may be 0x5C, the backslash, or any ASCII letter, so a
// plain byte search can match inside a character. Every substring test and
// path split goes through these helpers, which step over whole characters.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kestro {

enum class CodePage { Cp932, Utf8 };

// Length in bytes of the character that starts at text[pos] (1 for a single
// byte, a lone lead byte at the end of the text or an invalid sequence);
// 0 when pos is at or past the end.
std::size_t characterLength(CodePage cp, std::string_view text, std::size_t pos);

// Position of the first occurrence of needle at or after `from` that starts
// on a character boundary; std::string_view::npos when there is none.
// The comparison is byte-exact and case-sensitive.
std::size_t findText(CodePage cp, std::string_view haystack, std::string_view needle,
                     std::size_t from = 0);

bool containsText(CodePage cp, std::string_view haystack, std::string_view needle);

// Position of the last byte that is one of `bytes` and that starts a
// character (so never the trail byte of a double-byte character);
// npos when there is none.
std::size_t findLastOf(CodePage cp, std::string_view text, std::string_view bytes);

// Position of the first such byte at or after `from`; npos when there is none.
std::size_t findFirstOf(CodePage cp, std::string_view text, std::string_view bytes,
                        std::size_t from = 0);

// The longest prefix of text that has at most maxBytes bytes and does not end
// inside a character.
std::string cutToBytes(CodePage cp, std::string_view text, std::size_t maxBytes);

// ASCII-only case folding, character-aware: trail bytes of double-byte
// characters are never folded. Used for names compared without case.
std::string foldAsciiCase(CodePage cp, std::string_view text);

// True when text begins with prefix, compared byte-exactly or, with
// ignoreCase, after folding ASCII letters that start characters.
bool startsWithText(CodePage cp, std::string_view text, std::string_view prefix, bool ignoreCase);

}  // namespace kestro
